// The three Save commands: ask for a path, read the store afresh, write.
#pragma once

#include <string>

#include "platform/history_store.h"
#include "platform/url_cache.h"
#include "report/file_dialog.h"
#include "report/report_writer.h"

namespace tw {

struct ReportSources {
    HistoryService& history;
    UrlCache& cache;
    KeptCookieTest keptCookies = nullptr;  // marks the Cookies report's kept entries
};

// Silent on every failure: a cancelled dialog, an empty path, a history
// store that cannot be created or a path that cannot be opened writes
// nothing. Returns whether a whole report was written (a write or close
// that fails, as on a full disk, is no report).
// With brokered (Protected Mode, where the process may not write where the
// user saves), the browser's save asks and writes instead of dialogs.
bool SaveReport(ReportKind kind, FileDialogs& dialogs, ReportSources sources, const std::string& dateTemplate,
                void* owner, BrokeredSave* brokered = nullptr);

}  // namespace tw
