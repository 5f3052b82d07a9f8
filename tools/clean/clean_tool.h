// tidewell-clean: the cleanup runs of the band's dialogs and Clean menu,
// from a command line and without the browser, for scheduled tasks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "core/ansi_text.h"
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
    bool quiet = false;
    bool help = false;
    bool list = false;
    bool version = false;
    // Where the run's line is appended and its JSON record written; empty
    // for none. Paths stay as typed: no code page stands between them and
    // the file system.
    std::u16string log;
    std::u16string result;
    std::vector<CleanRun> runs;  // in the order given
    FavoriteRequest favorite;    // written after the runs
};

// Reads the whole command line before anything runs. False, with *error
// one line naming the bad or missing argument, when any is wrong. The
// criteria are those the dialogs send; now stands where they put the
// current time. The texts of criteria must be held exactly by the ANSI
// code page that the stores use: a best-fit letter or a "?" in their place
// would match other items than the ones asked for.
bool ParseCleanCommand(const std::vector<std::u16string>& args, const AnsiCodePage& ansi, FileTime now,
                       CleanCommand* command, std::string* error);

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

// The texts the program writes, by their encoding.
enum class TextKind { Ansi, Utf8 };

// Where the program runs: its output, its files, who runs it.
class CleanHost {
public:
    virtual ~CleanHost() = default;
    // Writes all of text to the output (error false) or the error output;
    // kErrorSuccess, or the platform's error when it could not.
    virtual long Write(bool error, const std::string& text, TextKind kind) = 0;
    // Writes bytes to the file at path, appended or replacing it.
    virtual long WriteFile(const std::u16string& path, const std::string& bytes, bool append) = 0;
    // The local time, as "YYYY-MM-DD HH:MM:SS".
    virtual std::string LocalTime() = 0;
    // The command line as the process got it, as UTF-8.
    virtual std::string CommandLine() = 0;
    // Whether the process runs as LocalSystem or as a service, whose
    // profile is no signed-in user's.
    virtual bool RunsAsSystem() = 0;
};

enum CleanExit : int {
    kCleanDone = 0,
    kCleanSomeFailed = 1,
    kCleanBadArgument = 2,
    kCleanKeepListUnreadable = 3,
    kCleanNotForSystem = 4,
};

extern const char kCleanUsage[];
extern const char kCleanVersion[];

// The program: parses, runs every run in order (nothing asked), reports to
// the host's output, and tells what is wrong on its error output. A keep
// list that cannot be read keeps every cookie and wins over a failure. An
// exception ends the run with a message and exit 1.
int RunCleanTool(const std::vector<std::u16string>& args, CleanServices& services, const CodePage& page,
                 CleanHost& host);

}  // namespace tw
