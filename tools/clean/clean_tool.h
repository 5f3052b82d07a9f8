// tidewell-clean: the cleanup runs of the band's dialogs and Clean menu,
// from a command line and without the browser, for scheduled tasks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "tools/clean/add_favorite.h"
#include "tools/dump/code_page.h"

namespace tw {

enum class CleanTarget { History, Cookies, Cache, TypedUrls, RunHistory, RecentDocs };

struct CleanRun {
    CleanTarget target = CleanTarget::History;
    // The option's word as given ("expired", "text:ads", "dates:..."), and
    // "all" for the traces that have no criteria.
    std::string criterion;
    CleanupCriteria criteria;  // History, Cookies and Cache
};

struct CleanCommand {
    bool preview = false;
    bool json = false;
    bool help = false;
    std::vector<CleanRun> runs;  // in the order given
    FavoriteRequest favorite;    // written after the runs
};

// Reads the whole command line before anything runs. False, with *error
// one line naming the bad or missing argument, when any is wrong. The
// criteria are those the dialogs send; now stands where they put the
// current time.
bool ParseCleanCommand(int argc, const char* const* argv, FileTime now, CleanCommand* command, std::string* error);

// One run done: what it was asked and what it did.
struct CleanResult {
    CleanRun run;
    CleanupOutcome outcome;
};

// "Cookies (expired): 3 deleted, 2 kept, 0 failed" a line ("would delete"
// in a preview), with ", F files (S)" when a purge removed files.
std::string CleanReportText(const std::vector<CleanResult>& results, bool preview);
// One JSON object; the texts are ANSI and reach JSON as UTF-8 through page.
std::string CleanReportJson(const std::vector<CleanResult>& results, bool preview, const CodePage& page);

// What the runs reach.
struct CleanServices {
    HistoryService& history;
    UrlCache& cache;
    FileSystem& files;
    const Clock& clock;
    Registry& registry;
    Shell& shell;
    bool newSystem;
    // The shell's shortcut object, for --add-favorite; none refuses it.
    InternetShortcutWriter* favorites = nullptr;
};

enum CleanExit : int {
    kCleanDone = 0,
    kCleanSomeFailed = 1,
    kCleanBadArgument = 2,
    kCleanKeepListUnreadable = 3,
};

extern const char kCleanUsage[];

// The program: parses, runs every run in order (nothing asked), reports to
// out, and tells what is wrong on err. A keep list that cannot be read
// keeps every cookie and wins over a failed deletion.
int RunCleanTool(int argc, const char* const* argv, CleanServices& services, const CodePage& page, std::FILE* out,
                 std::FILE* err);

}  // namespace tw
