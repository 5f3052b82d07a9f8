#include "ui/win32/band_actions.h"

#include "ui/win32/band_window.h"
#include "ui/win32/list_adapters.h"

namespace tw {

LRESULT HandleListNotify(BandWindow& band, const NMHDR& header) {
    return 0;
}

}  // namespace tw
