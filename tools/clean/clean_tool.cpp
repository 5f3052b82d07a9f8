#include "tools/clean/clean_tool.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "clean/cleanup_dialog_model.h"
#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "platform/win_errors.h"

namespace tw {

const char kCleanVersion[] = "tidewell-clean " TW_VERSION_TEXT;

const char kCleanUsage[] =
    "usage: tidewell-clean [--preview] [--json] [--quiet] [--log FILE] [--result FILE]\n"
    "                      [--history CRITERION] [--cookies CRITERION] [--cache CRITERION]\n"
    "                      [--typed-urls] [--run-history] [--recent-docs]\n"
    "                      [--add-favorite NAME URL [--favorite-icon FILE]]\n"
    "       tidewell-clean --schedule-removal PATH | --withdraw-removal PATH ...\n"
    "       tidewell-clean --list | --version | --help\n"
    "  --history  all | local | protocol:P | text:T | dates:YYYY-MM-DD..YYYY-MM-DD | older-than:DAYS\n"
    "  --cookies  all | expired | text:T | dates:YYYY-MM-DD..YYYY-MM-DD | older-than:DAYS\n"
    "  --cache    all | pictures | archives | styles | pages | text:T | dates:YYYY-MM-DD..YYYY-MM-DD |\n"
    "             older-than:DAYS\n"
    "  --preview  delete nothing; tell what would be deleted\n"
    "  --json     one JSON object instead of a line a run\n"
    "  --quiet    print nothing but errors\n"
    "  --log FILE     append a line for the run: local time, command line, JSON record\n"
    "  --result FILE  write the run's JSON object to FILE, replacing it\n"
    "  --list     the stores and their criteria, with what each deletes\n"
    "  --add-favorite NAME URL  an Internet shortcut NAME in the user's Favorites, never over another\n"
    "  --schedule-removal PATH, --withdraw-removal PATH  an index.dat's removal at restart (administrators)\n"
    "The runs go in the order given. Cookies of the sites in the keep list stay.\n"
    "Exit codes:\n"
    "  0  everything asked was done\n"
    "  1  something could not be done: an item, a file, a store, the output, the log or the result\n"
    "  2  a bad or missing argument; nothing was done\n"
    "  3  cookies were asked for and the keep list cannot be read; no cookie was deleted\n"
    "  4  run as LocalSystem or as a service, which cleans no signed-in user's traces; nothing was done\n";

namespace {

struct Word {
    const char* word;
    std::int32_t kind;
    const char* help;
};

// The criteria that take a text or a range after their word.
const char kProtocolHelp[] = "pages whose URL holds the protocol P (such as ftp:), in its own case";
const char kDatesHelp[] = "last updated on the days from the first to the second, both whole";
const char kOlderHelp[] = "last updated more than DAYS days ago";

const Word kHistoryWords[] = {
    {"all", kCleanAll, "every page, and the files of the History folders"},
    {"local", kCleanLocalLinks, "local links only (file://, res://, mk:@, ms-its:// and the like)"},
    {"text:T", kCleanContainingText, "pages whose URL holds T, in its own case"},
};
const Word kCookieWords[] = {
    {"all", kCleanAll, "every cookie, and the files of the Cookies folder"},
    {"expired", kCleanExpiredCookies, "cookies whose expiry has passed"},
    {"text:T", kCleanContainingText, "cookies whose URL holds T, in any case"},
};
const Word kCacheWords[] = {
    {"all", kCleanAll, "every item, and the files of the cache folders"},
    {"pictures", kCleanPictures, "URLs ending in .jpg, .jpeg, .bmp, .gif, .png, .tiff, .tif, .tmp"},
    {"archives", kCleanArchives, "URLs ending in .rar, .zip, .7z, .cab"},
    {"styles", kCleanStylesAndScripts, "styles and scripts: .xml, .css, .js, .vbs, .pl, .jsp, php?, asp?, ..."},
    {"pages", kCleanPagesAndOtherFiles, "URLs ending in .htm, .html, .pdf, .swf, .txt"},
    {"text:T", kCleanContainingText, "items whose URL holds T, in any case"},
};

// The store options, each as the dialog of its store.
struct StoreOption {
    const char* option;
    CleanTarget target;
    std::int32_t store;
    const Word* words;
    int wordCount;
    const char* choices;
    const char* title;
};

const StoreOption kStoreOptions[] = {
    {"--history", CleanTarget::History, kStoreHistory, kHistoryWords, 3,
     "all, local, protocol:P, text:T, dates:YYYY-MM-DD..YYYY-MM-DD, older-than:DAYS", "the browser's History"},
    {"--cookies", CleanTarget::Cookies, kStoreCookies, kCookieWords, 3,
     "all, expired, text:T, dates:YYYY-MM-DD..YYYY-MM-DD, older-than:DAYS", "the browser's Cookies"},
    {"--cache", CleanTarget::Cache, kStoreCache, kCacheWords, 6,
     "all, pictures, archives, styles, pages, text:T, dates:YYYY-MM-DD..YYYY-MM-DD, older-than:DAYS",
     "the Temporary Internet Files"},
};

struct TraceOption {
    const char* option;
    CleanTarget target;
    const char* help;
};

const TraceOption kTraceOptions[] = {
    {"--typed-urls", CleanTarget::TypedUrls, "the addresses typed into the browser's address bar"},
    {"--run-history", CleanTarget::RunHistory, "the commands typed into the Run box"},
    {"--recent-docs", CleanTarget::RecentDocs, "the shell's list of recently opened documents"},
};

const std::uint64_t kTicksPerDay = 24ULL * 60 * 60 * 10000000;
// A century of days: a larger number is a mistake, not a wish.
const unsigned long kMostDays = 36525;

bool StartsWith(const std::string& text, const char* prefix, std::string* rest) {
    const std::size_t n = std::strlen(prefix);
    if (text.compare(0, n, prefix) != 0)
        return false;
    *rest = text.substr(n);
    return true;
}

// "YYYY-MM-DD", digits where the template has them.
bool ParseDay(const std::string& text, PickedDay* day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    int fields[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        for (std::size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    day->valid = true;
    day->date = CivilDate{fields[0], fields[1], fields[2]};
    FileTime unused;
    return DayStart(day->date, &unused);
}

bool ParseDates(const std::string& text, PickedDay* from, PickedDay* to, std::string* why) {
    const std::size_t dots = text.find("..");
    if (dots == std::string::npos || !ParseDay(text.substr(0, dots), from) || !ParseDay(text.substr(dots + 2), to)) {
        *why = "is not two days as YYYY-MM-DD..YYYY-MM-DD";
        return false;
    }
    FileTime first, last;
    DayStart(from->date, &first);
    DayStart(to->date, &last);
    if (CompareFileTime(first, last) > 0) {
        *why = "ends before it starts";
        return false;
    }
    return true;
}

// "DAYS": decimal digits, at most kMostDays.
bool ParseDays(const std::string& text, unsigned long* days) {
    if (text.empty() || text.size() > 5)
        return false;
    *days = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        *days = *days * 10 + static_cast<unsigned long>(c - '0');
    }
    return *days <= kMostDays;
}

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

bool ParseCriterion(const StoreOption& o, const std::string& value, FileTime now, CleanRun* run, std::string* error) {
    std::int32_t kind = kCleanNothing;
    for (int i = 0; i < o.wordCount; ++i) {
        if (value == o.words[i].word && std::strchr(o.words[i].word, ':') == nullptr)
            kind = o.words[i].kind;
    }
    std::string combo, box, dates, older, why;
    PickedDay from, to;
    if (kind == kCleanNothing && o.store == kStoreHistory && StartsWith(value, "protocol:", &combo))
        kind = kCleanSelectedProtocol;
    else if (kind == kCleanNothing && StartsWith(value, "text:", &box))
        kind = kCleanContainingText;
    else if (kind == kCleanNothing && StartsWith(value, "dates:", &dates))
        kind = kCleanBetweenDates;
    else if (kind == kCleanNothing && StartsWith(value, "older-than:", &older))
        kind = kCleanBetweenDates;
    if (kind == kCleanNothing) {
        *error = std::string(o.option) + ": unknown criterion \"" + value + "\" (one of " + o.choices + ")";
        return false;
    }
    unsigned long days = 0;
    if (value.compare(0, 11, "older-than:") == 0 && !ParseDays(older, &days)) {
        *error = std::string(o.option) + " " + value + ": the days are not a number from 0 to " +
                 std::to_string(kMostDays);
        return false;
    }
    if (value.compare(0, 6, "dates:") == 0 && !ParseDates(dates, &from, &to, &why)) {
        *error = std::string(o.option) + " " + value + ": the range " + why;
        return false;
    }
    const std::string given = combo + box;
    if ((kind == kCleanSelectedProtocol || kind == kCleanContainingText) && given.empty()) {
        *error = std::string(o.option) + " " + value + ": the text is missing";
        return false;
    }
    // A text of blanks alone is a quoting slip far more often than a wish,
    // and would take every URL that holds a blank.
    if ((kind == kCleanSelectedProtocol || kind == kCleanContainingText) && Blank(given)) {
        *error = std::string(o.option) + " \"" + value + "\": the text is blank";
        return false;
    }
    const CleanupDialogInfo& dialog = *CleanupDialogFor(o.store);
    // The dialog's boxes cut a longer text, which would then match more
    // than was asked; here it is refused.
    const std::size_t most = CleanupTextOf(o.store, kind, std::string(1000, 'x'), std::string(1000, 'x')).size();
    if (given.size() > most) {
        *error = std::string(o.option) + " " + value.substr(0, value.find(':') + 1) + "...: the text is longer than " +
                 std::to_string(most) + " characters";
        return false;
    }
    run->target = o.target;
    run->criterion = value;
    run->criteria = BuildCleanupCriteria(dialog, kind, combo, box, from, to, now);
    if (!older.empty() || value.compare(0, 11, "older-than:") == 0) {
        // Items of unknown time (zero) are not known to be old; they stay.
        run->criteria.from = FileTime::FromValue(1);
        const std::uint64_t span = days * kTicksPerDay;
        run->criteria.to = FileTime::FromValue(now.Value() > span ? now.Value() - span : 0);
    }
    return true;
}

// A store option at args[*i], as "--option value" or "--option=value";
// *matched tells whether it is one.
bool ParseStoreOption(const std::vector<std::string>& args, std::size_t* i, FileTime now, CleanRun* run,
                      bool* matched, std::string* error) {
    const std::string& arg = args[*i];
    for (const StoreOption& o : kStoreOptions) {
        std::string value;
        if (arg == o.option) {
            if (*i + 1 >= args.size()) {
                *error = std::string(o.option) + " needs a criterion (one of " + o.choices + ")";
                return false;
            }
            value = args[++*i];
        } else if (!StartsWith(arg, (std::string(o.option) + "=").c_str(), &value)) {
            continue;
        }
        *matched = true;
        return ParseCriterion(o, value, now, run, error);
    }
    *matched = false;
    return true;
}

const char* StoreName(CleanTarget target) {
    switch (target) {
    case CleanTarget::History: return "history";
    case CleanTarget::Cookies: return "cookies";
    case CleanTarget::Cache: return "cache";
    case CleanTarget::TypedUrls: return "typed-urls";
    case CleanTarget::RunHistory: return "run-history";
    default: return "recent-docs";
    }
}

const char* StoreTitle(CleanTarget target) {
    switch (target) {
    case CleanTarget::History: return "History";
    case CleanTarget::Cookies: return "Cookies";
    case CleanTarget::Cache: return "Cache";
    case CleanTarget::TypedUrls: return "Typed URLs";
    case CleanTarget::RunHistory: return "Run history";
    default: return "Recent documents";
    }
}

bool HasCriteria(CleanTarget target) {
    return target == CleanTarget::History || target == CleanTarget::Cookies || target == CleanTarget::Cache;
}

void AppendJsonList(std::string& out, const char* name, const std::vector<std::string>& texts, JsonText& json) {
    out += ", \"";
    out += name;
    out += "\": [";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += ", ";
        json.Append(out, texts[i]);
    }
    out += ']';
}

struct NoLists : ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t) override {}
};

// A text as the code page can show it: "?" for each character that it
// cannot hold exactly, never a best-fit letter that would look like a
// match.
std::string Shown(const std::u16string& text, const AnsiCodePage& ansi) {
    std::string shown, one;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                          text[i + 1] < 0xE000;
        shown += ansi.FromUtf16Exactly(text.substr(i, pair ? 2 : 1), &one) && one.find('\0') == std::string::npos
                     ? one
                     : std::string("?");
        i += pair ? 1 : 0;
    }
    return shown;
}

// The options that take a file: its path stays wide.
bool FileOption(const std::string& arg, CleanCommand* command, std::u16string** path) {
    *path = arg == "--log" ? &command->log : arg == "--result" ? &command->result : nullptr;
    return *path != nullptr;
}

std::string ListText() {
    std::string out;
    const auto line = [&out](const std::string& name, const char* help) {
        out += "  " + name + std::string(name.size() < 16 ? 16 - name.size() : 1, ' ') + help + "\n";
    };
    for (const StoreOption& o : kStoreOptions) {
        out += std::string(o.option) + "  " + o.title + "\n";
        for (int i = 0; i < o.wordCount; ++i) {
            if (o.store == kStoreHistory && std::strcmp(o.words[i].word, "text:T") == 0)
                line("protocol:P", kProtocolHelp);
            line(o.words[i].word, o.words[i].help);
        }
        line("dates:A..B", kDatesHelp);
        line("older-than:DAYS", kOlderHelp);
    }
    for (const TraceOption& t : kTraceOptions)
        out += std::string(t.option) + "  " + t.help + "\n";
    return out;
}

// The Index Files dialog's changes, which it hands over when it lacks the
// rights to make them: a command line of their own. The exit code, or -1
// when the arguments are none of these. A path the code page cannot hold
// exactly names no index file of the dialog's.
template <typename Tell>
int RunIndexRemovals(const std::vector<std::u16string>& args, CleanServices& s, Tell tell) {
    std::vector<std::string> narrow(1, "tidewell-clean");
    for (const std::u16string& arg : args) {
        std::string text;
        narrow.push_back(ActiveCodePage().FromUtf16Exactly(arg, &text) ? text : std::string("?"));
    }
    std::vector<const char*> argv;
    for (const std::string& n : narrow)
        argv.push_back(n.c_str());
    IndexRemovalPlan removals;
    std::string error;
    switch (ParseIndexRemovalArguments(int(argv.size()), argv.data(), &removals, &error)) {
    case RemovalArguments::Bad:
        tell(error);
        return kCleanBadArgument;
    case RemovalArguments::Parsed:
        return ChangeIndexRemovals(removals, s.registry, s.files) == kErrorSuccess ? kCleanDone : kCleanSomeFailed;
    case RemovalArguments::None:
        break;
    }
    return -1;
}

int RunCommand(const std::vector<std::u16string>& args, CleanServices& s, const CodePage& page, CleanHost& host) {
    const auto tell = [&host](const std::string& line) { host.Write(true, "tidewell-clean: " + line + "\n", TextKind::Ansi); };
    CleanCommand command;
    std::string error;
    if (const int removals = RunIndexRemovals(args, s, tell); removals >= 0)
        return removals;
    if (!ParseCleanCommand(args, ActiveCodePage(), s.clock.NowUtc(), &command, &error)) {
        tell(error);
        return kCleanBadArgument;
    }
    const auto print = [&](const std::string& text, TextKind kind) {
        const long written = host.Write(false, text, kind);
        if (written != kErrorSuccess)
            tell(StoreErrorText(StoreError{"the output cannot be written", written}));
        return written == kErrorSuccess;
    };
    if (command.help || command.list || command.version) {
        const std::string text = command.help ? std::string(kCleanUsage)
                                 : command.list ? ListText()
                                                : std::string(kCleanVersion) + "\n";
        return print(text, TextKind::Ansi) ? kCleanDone : kCleanSomeFailed;
    }
    // WinINet and the history store serve the profile of the process's
    // user: as SYSTEM the run would clean nobody's traces and say it did.
    if (host.RunsAsSystem()) {
        tell("runs as LocalSystem or as a service, whose stores are no signed-in user's; run it as the user "
             "whose traces are to go (a task with /ru of that user, or /sc onlogon)");
        return kCleanNotForSystem;
    }
    CleanupJournal journal(command.preview);
    Cleaner cleaner(s.history, s.cache, s.files, s.clock);
    cleaner.Journal(&journal);
    NoLists lists;
    bool keepListUnreadable = false, failed = false;
    std::vector<CleanResult> results;
    for (const CleanRun& run : command.runs) {
        switch (run.target) {
        case CleanTarget::TypedUrls:
            ClearTypedUrls(s.registry, s.shell, false, &journal);
            break;
        case CleanTarget::RunHistory:
            ClearRunHistory(s.registry, s.shell, false, &journal);
            break;
        case CleanTarget::RecentDocs:
            ClearRecentDocuments(s.shell, s.files, journal);
            break;
        default:
            if (!RunCleanupWithKeepList(run.criteria, true, cleaner, lists, s.registry, s.newSystem))
                keepListUnreadable = true;
            break;
        }
        results.push_back(CleanResult{run, journal.Take()});
        const CleanupOutcome& outcome = results.back().outcome;
        failed = failed || !outcome.failed.empty() || !outcome.errors.empty();
        for (const StoreError& e : outcome.errors)
            tell(std::string(StoreTitle(run.target)) + ": " + StoreErrorText(e));
    }
    std::string favoriteError;
    if (command.favorite.given && !command.preview &&
        !(s.favorites && AddFavoriteFor(command.favorite, s.registry, s.files, s.shell, *s.favorites, ActiveCodePage(),
                                        &favoriteError))) {
        tell(s.favorites ? favoriteError : "--add-favorite: not here");
        failed = true;
    }
    const std::string json = CleanReportJson(results, command.preview, page);
    if (!command.quiet && !print(command.json ? json : CleanReportText(results, command.preview),
                                 command.json ? TextKind::Utf8 : TextKind::Ansi))
        failed = true;
    const auto record = [&](const std::u16string& path, const std::string& bytes, bool append, const char* what) {
        const long written = host.WriteFile(path, bytes, append);
        if (written != kErrorSuccess) {
            tell(StoreErrorText(StoreError{std::string("the ") + what + " cannot be written", written}));
            failed = true;
        }
    };
    if (!command.result.empty())
        record(command.result, json, false, "result");
    if (!command.log.empty()) {
        std::string line = host.LocalTime() + " ";
        AppendJsonUtf8(line, host.CommandLine());
        line += " " + json;  // the record ends the line
        record(command.log, line, true, "log");
    }
    if (keepListUnreadable) {
        tell(kKeepListUnreadable);
        return kCleanKeepListUnreadable;
    }
    return failed ? kCleanSomeFailed : kCleanDone;
}

}  // namespace

bool ParseCleanCommand(const std::vector<std::u16string>& args, const AnsiCodePage& ansi, FileTime now,
                       CleanCommand* command, std::string* error) {
    *command = CleanCommand();
    // Every text is first made ANSI, as the stores hold theirs; one that the
    // code page cannot hold exactly is refused, wherever it stands, but for
    // the paths of files, which stay wide.
    std::vector<std::string> ansiArgs(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::u16string* path = nullptr;
        if (i > 0 && FileOption(ansiArgs[i - 1], command, &path))
            continue;
        if (!ansi.FromUtf16Exactly(args[i], &ansiArgs[i])) {
            *error = "argument " + std::to_string(i + 1) + " \"" + Shown(args[i], ansi) +
                     "\" holds characters that the ANSI code page cannot hold exactly (shown as ?), so the stores "
                     "could not be matched against it; nothing was done";
            return false;
        }
        ansiArgs[i].resize(std::min(ansiArgs[i].size(), ansiArgs[i].find('\0')));
    }
    for (std::size_t i = 0; i < ansiArgs.size(); ++i) {
        const std::string& arg = ansiArgs[i];
        bool matched = false;
        CleanRun run;
        if (!ParseStoreOption(ansiArgs, &i, now, &run, &matched, error))
            return false;
        if (matched) {
            command->runs.push_back(run);
            continue;
        }
        if (!ParseFavoriteOption(ansiArgs, &i, &command->favorite, &matched, error))
            return false;
        if (matched)
            continue;
        for (const TraceOption& t : kTraceOptions) {
            if (arg == t.option) {
                run.target = t.target;
                run.criterion = "all";
                command->runs.push_back(run);
                matched = true;
            }
        }
        if (matched)
            continue;
        std::u16string* path = nullptr;
        if (FileOption(arg, command, &path)) {
            // An option where the path should be is a forgotten path.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].compare(0, 2, u"--") == 0) {
                *error = arg + " needs the path of a file";
                return false;
            }
            *path = args[++i];
        } else if (arg == "--preview") {
            command->preview = true;
        } else if (arg == "--json") {
            command->json = true;
        } else if (arg == "--quiet") {
            command->quiet = true;
        } else if (arg == "--list") {
            command->list = true;
        } else if (arg == "--version") {
            command->version = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            command->help = true;
        } else {
            *error = (arg.compare(0, 1, "-") == 0 ? "unknown option " : "unexpected argument ") + arg;
            return false;
        }
    }
    if (!command->favorite.icon.empty() && !command->favorite.given) {
        *error = "--favorite-icon needs --add-favorite";
        return false;
    }
    if (command->runs.empty() && !command->favorite.given && !command->help && !command->list && !command->version) {
        *error = "nothing to clean: give --history, --cookies, --cache, --typed-urls, --run-history or --recent-docs";
        return false;
    }
    return true;
}

std::string CleanReportText(const std::vector<CleanResult>& results, bool preview) {
    std::string out;
    for (const CleanResult& r : results) {
        const CleanupOutcome& o = r.outcome;
        out += StoreTitle(r.run.target);
        if (HasCriteria(r.run.target))
            out += " (" + r.run.criterion + ")";
        out += ": " + std::to_string(o.deleted.size()) + (preview ? " would delete, " : " deleted, ") +
               std::to_string(o.kept.size()) + " kept, " + std::to_string(o.failed.size()) + " failed";
        if (!o.files.empty())
            out += ", " + std::to_string(o.files.size()) + " files (" + SizeText(o.FileBytes()) + ")";
        out += '\n';
    }
    return out;
}

std::string CleanReportJson(const std::vector<CleanResult>& results, bool preview, const CodePage& page) {
    JsonText json(page);
    std::string out = std::string("{\"preview\": ") + (preview ? "true" : "false") + ", \"runs\": [";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CleanResult& r = results[i];
        out += i ? ", " : "";
        out += "{\"store\": \"" + std::string(StoreName(r.run.target)) + "\", \"criterion\": ";
        json.Append(out, r.run.criterion);
        AppendJsonList(out, "deleted", r.outcome.deleted, json);
        AppendJsonList(out, "kept", r.outcome.kept, json);
        AppendJsonList(out, "failed", r.outcome.failed, json);
        out += ", \"files\": [";
        for (std::size_t f = 0; f < r.outcome.files.size(); ++f) {
            out += f ? ", {\"path\": " : "{\"path\": ";
            json.Append(out, r.outcome.files[f].path);
            out += ", \"bytes\": " + std::to_string(r.outcome.files[f].bytes) + "}";
        }
        out += "], \"errors\": [";
        for (std::size_t e = 0; e < r.outcome.errors.size(); ++e) {
            out += e ? ", {\"what\": " : "{\"what\": ";
            json.Append(out, r.outcome.errors[e].what);
            out += ", \"error\": " + std::to_string(r.outcome.errors[e].code) + "}";
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

int RunCleanTool(const std::vector<std::u16string>& args, CleanServices& services, const CodePage& page,
                 CleanHost& host) {
    // Nothing may end the program with abort()'s 3, which a script reads as
    // "keep list unreadable"; the error output may be what failed.
    const auto fail = [&host](const char* why) {
        host.Write(true, std::string("tidewell-clean: ") + why + "\n", TextKind::Ansi);
        return kCleanSomeFailed;
    };
    try {
        return RunCommand(args, services, page, host);
    } catch (const std::bad_alloc&) {
        return fail("not enough memory; the run stopped");
    } catch (const std::exception& e) {
        return fail((std::string("the run stopped: ") + e.what()).c_str());
    } catch (...) {
        return fail("the run stopped at an unexpected error");
    }
}

}  // namespace tw
