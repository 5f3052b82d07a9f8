// Where each operation of the band runs. Without Protected Mode all of it
// runs in the process, as it always has. In Protected Mode the process runs
// at low integrity: it cleans the Low stores its own cache and history use,
// and what needs medium integrity goes to the broker with the same
// criteria (the typed URLs, the recent documents, the Run history, a new
// favorite, and each cleanup again over the normal stores, which the
// Intranet and Trusted sites fill). The broker keeps the kept sites'
// cookies as the band does. A broker that could not do it is told once.
#pragma once

#include <cstddef>
#include <string>

#include "clean/broker.h"
#include "clean/cleanup.h"
#include "core/entry.h"
#include "platform/process_rights.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "report/favorites.h"

namespace tw {

enum class ShellTrace { TypedUrls, RecentDocuments, RunHistory };

// The Clean menu's command for trace: its question first when confirm is
// set, then the work, silent when done; a refusal of the platform is told.
void ClearShellTrace(ShellTrace trace, bool confirm, const ProcessRights& rights, Registry& registry, Shell& shell,
                     FileSystem& files, Broker& broker);

// What a cleanup did beyond the process.
struct CleanupBeyond {
    bool brokerRan = false;   // it ran to its end
    std::size_t deleted = 0;  // by the broker, from the normal stores
};

// RunCleanupKeeping as the band runs it, then, in Protected Mode, the
// broker's run over the normal stores. A keep list that either could not
// read is told once.
CleanupBeyond RunBandCleanup(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner,
                             ListRebuilder& lists, Registry& registry, bool newSystem, Shell& shell,
                             const ProcessRights& rights, Broker& broker);

// The status line after a cleanup that the broker ran too: the store's
// line, then "; N deleted outside Protected Mode".
std::string BeyondStatusText(EntryKind store, unsigned rows, const CleanupBeyond& beyond);

// A preview's part beyond the process: in Protected Mode the broker's
// preview of the same run over the normal stores, which deletes nothing.
CleanupBeyond PreviewBeyond(const CleanupCriteria& criteria, const ProcessRights& rights, Shell& shell,
                            Broker& broker);
// The preview's status line, then "; N more outside Protected Mode".
std::string BeyondPreviewText(const std::string& previewText, const CleanupBeyond& beyond);

// Writes a favorite through the broker, into the user's Favorites folder,
// under the name that path gives it.
class BrokerShortcutWriter : public InternetShortcutWriter {
public:
    explicit BrokerShortcutWriter(Broker& broker) : broker_(broker) {}
    bool Write(const std::string& path, const std::string& url, const std::string& iconFile,
               const std::string& description) override;

private:
    Broker& broker_;
};

// The writer of favorites where this process may not write the folder.
inline InternetShortcutWriter& FavoritesWriter(const ProcessRights& rights, InternetShortcutWriter& inProcess,
                                               InternetShortcutWriter& throughBroker) {
    return rights.IsProtectedMode() ? throughBroker : inProcess;
}

}  // namespace tw
