#include "ui/win32/controls/list_adapters.h"

#include <oleauto.h>

namespace tw {

BSTR AnsiToBstr(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, UINT(n));
    if (out && n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), out, n);
    return out;
}

void BrowserStatusLine::Show(const std::string& text) {
    if (!browser_)
        return;
    BSTR wide = AnsiToBstr(text);
    if (wide) {
        browser_->put_StatusText(wide);
        SysFreeString(wide);
    }
}

}  // namespace tw
