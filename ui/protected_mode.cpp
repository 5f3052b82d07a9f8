#include "ui/protected_mode.h"

#include "clean/cookie_keep.h"
#include "clean/shell_history.h"
#include "core/tab_fill.h"

namespace tw {

namespace {

struct TraceInfo {
    const char* question;
    const char* option;
    const char* notDone;
};

TraceInfo InfoOf(ShellTrace trace) {
    switch (trace) {
    case ShellTrace::TypedUrls: return {kTypedUrlsQuestion, "--typed-urls", "clear the Typed URL List"};
    case ShellTrace::RecentDocuments:
        return {kRecentDocumentsQuestion, "--recent-docs", "clear the Recent Documents"};
    default: return {kRunHistoryQuestion, "--run-history", "clear the Run History"};
    }
}

void TellFailure(Shell& shell, const char* notDone, const BrokerRun& run) {
    const std::string text = BrokerFailureText(notDone, run);
    if (!text.empty())
        shell.ShowMessage(text.c_str(), MessageIcon::Exclamation);
}

const char* CleanupNotDone(std::int32_t store) {
    return store == kStoreHistory   ? "clean the History"
           : store == kStoreCookies ? "clean the Cookies"
                                    : "clean the Cache";
}

}  // namespace

void ClearShellTrace(ShellTrace trace, bool confirm, const ProcessRights& rights, Registry& registry, Shell& shell,
                     FileSystem& files, Broker& broker) {
    if (!rights.IsProtectedMode()) {
        switch (trace) {
        case ShellTrace::TypedUrls: ClearTypedUrlsTelling(registry, shell, confirm); break;
        case ShellTrace::RecentDocuments: ClearRecentDocumentsTelling(shell, files, rights, confirm); break;
        case ShellTrace::RunHistory: ClearRunHistoryTelling(registry, shell, confirm); break;
        }
        return;
    }
    // The low process may not write these at all: nothing is tried here.
    const TraceInfo info = InfoOf(trace);
    if (confirm && !shell.AskYesNo(info.question))
        return;
    TellFailure(shell, info.notDone, broker.Run(BrokerCommand({info.option})));
}

namespace {

// The broker's run of a cleanup over the normal stores; a failure is told.
CleanupBeyond RunBeyond(std::vector<std::string> arguments, bool preview, const char* notDone, Shell& shell,
                        Broker& broker, bool* keepListUnreadable) {
    CleanupBeyond beyond;
    if (arguments.empty())
        return beyond;
    if (preview)
        arguments.insert(arguments.begin(), "--preview");
    const BrokerRun run = broker.Run(BrokerCommand(arguments));
    beyond.brokerRan = run.started && run.ended;
    std::vector<BrokerStoreRun> runs;
    if (run.recordRead && ReadBrokerRecord(run.record, &runs)) {
        for (const BrokerStoreRun& r : runs)
            beyond.deleted += r.deleted;
    }
    *keepListUnreadable = JudgeBrokerRun(run) == BrokerOutcome::KeepListUnreadable;
    TellFailure(shell, notDone, run);
    return beyond;
}

}  // namespace

CleanupBeyond PreviewBeyond(const CleanupCriteria& criteria, const ProcessRights& rights, Shell& shell,
                            Broker& broker) {
    if (!rights.IsProtectedMode())
        return CleanupBeyond();
    // As in the process, a keep list that cannot be read is not told by a
    // preview: it shows in the kept count of the list's rows.
    bool keepListUnreadable = false;
    const std::string notDone = std::string("preview how to ") + CleanupNotDone(criteria.store);
    return RunBeyond(BrokerCleanupArguments(criteria), true, notDone.c_str(), shell, broker, &keepListUnreadable);
}

std::string BeyondPreviewText(const std::string& previewText, const CleanupBeyond& beyond) {
    return beyond.brokerRan ? previewText + "; " + std::to_string(beyond.deleted) + " more outside Protected Mode"
                            : previewText;
}

CleanupBeyond RunBandCleanup(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner,
                             ListRebuilder& lists, Registry& registry, bool newSystem, Shell& shell,
                             const ProcessRights& rights, Broker& broker) {
    const bool keepListRead = RunCleanupWithKeepList(criteria, useKeepList, cleaner, lists, registry, newSystem);
    // The broker keeps the kept sites' cookies even when the dialog's box
    // says not to: it has no way to be told otherwise, and so it never
    // deletes more than was asked.
    bool brokerKeptAll = false;
    const CleanupBeyond beyond =
        rights.IsProtectedMode()
            ? RunBeyond(BrokerCleanupArguments(criteria), false, CleanupNotDone(criteria.store), shell, broker,
                        &brokerKeptAll)
            : CleanupBeyond();
    if (!keepListRead || brokerKeptAll)
        shell.ShowMessage(kKeepListUnreadable, MessageIcon::Exclamation);
    return beyond;
}

std::string BeyondStatusText(EntryKind store, unsigned rows, const CleanupBeyond& beyond) {
    std::string text = StatusText(store, rows);
    if (beyond.brokerRan)
        text += "; " + std::to_string(beyond.deleted) + " deleted outside Protected Mode";
    return text;
}

bool BrokerShortcutWriter::Write(const std::string& path, const std::string& url, const std::string& iconFile,
                                 const std::string&) {
    // The broker writes only into the user's Favorites folder, so it is
    // given the name, never a path.
    std::string name = path.substr(path.rfind('\\') == std::string::npos ? 0 : path.rfind('\\') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".url") == 0)
        name.resize(name.size() - 4);
    std::vector<std::string> arguments = {"--add-favorite", name, url};
    if (!iconFile.empty())
        arguments.insert(arguments.end(), {"--favorite-icon", iconFile});
    return JudgeBrokerRun(broker_.Run(BrokerCommand(arguments))) == BrokerOutcome::Done;
}

}  // namespace tw
