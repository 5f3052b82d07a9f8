// tidewell-clean.exe: the cleaner over the stores of the Windows user who
// runs it.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_url_cache.h"
#include "report/win32/internet_shortcut.h"
#include "settings/settings_store.h"
#include "tools/clean/clean_tool.h"

namespace {

// Texts of the active ANSI code page, which is how the stores, the command
// line and the band all hand them over, as UTF-8.
class ActiveCodePageUtf8 : public tw::CodePage {
public:
    void AppendUtf8(const char* text, std::size_t length, std::string& out) const override {
        if (length == 0 || length > 0x7FFFFFFF)
            return;
        const int n = MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0);
        if (n <= 0)
            return;
        std::vector<wchar_t> wide(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, text, int(length), wide.data(), n);
        tw::AppendUtf16AsUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size(), out);
    }
};

}  // namespace

int main(int argc, char** argv) {
    tw::Win32HistoryService history;
    tw::Win32UrlCache cache;
    tw::Win32FileSystem files;
    tw::Win32Clock clock;
    tw::Win32Registry registry;
    tw::Win32Shell shell;
    const int major = shell.MajorVersion();
    tw::Win32InternetShortcutWriter favorites;
    tw::CleanServices services{history, cache, files, clock, registry, shell, tw::IsNewSystem(major > 0, major),
                               &favorites};
    const ActiveCodePageUtf8 page;
    return tw::RunCleanTool(argc, argv, services, page, stdout, stderr);
}
