#include "core/ansi_text.h"

namespace tw {

const AnsiCodePage& ActiveCodePage() {
    static const Latin1CodePage page;
    return page;
}

}  // namespace tw
