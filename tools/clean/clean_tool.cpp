#include "tools/clean/clean_tool.h"

#include <cstring>

#include "clean/cleanup_dialog_model.h"
#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "platform/win_errors.h"

namespace tw {

const char kCleanUsage[] =
    "usage: tidewell-clean [--preview] [--json] [--history CRITERION] [--cookies CRITERION]\n"
    "                      [--cache CRITERION] [--typed-urls] [--run-history] [--recent-docs]\n"
    "  --history  all | local | protocol:P | text:T | dates:YYYY-MM-DD..YYYY-MM-DD\n"
    "  --cookies  all | expired | text:T | dates:YYYY-MM-DD..YYYY-MM-DD\n"
    "  --cache    all | pictures | archives | styles | pages | text:T | dates:YYYY-MM-DD..YYYY-MM-DD\n"
    "  --preview  delete nothing; tell what would be deleted\n"
    "  --json     one JSON object instead of a line a run\n"
    "The runs go in the order given. Cookies of the sites in the keep list stay.\n"
    "Exit codes: 0 done, 1 some deletion failed, 2 bad arguments (nothing done),\n"
    "3 the keep list cannot be read (no cookie deleted).\n";

namespace {

struct Word {
    const char* word;
    std::int32_t kind;
};

const Word kHistoryWords[] = {{"all", kCleanAll}, {"local", kCleanLocalLinks}};
const Word kCookieWords[] = {{"all", kCleanAll}, {"expired", kCleanExpiredCookies}};
const Word kCacheWords[] = {{"all", kCleanAll},
                            {"pictures", kCleanPictures},
                            {"archives", kCleanArchives},
                            {"styles", kCleanStylesAndScripts},
                            {"pages", kCleanPagesAndOtherFiles}};

// The store options, each as the dialog of its store.
struct StoreOption {
    const char* option;
    CleanTarget target;
    std::int32_t store;
    const Word* words;
    int wordCount;
    const char* choices;
};

const StoreOption kStoreOptions[] = {
    {"--history", CleanTarget::History, kStoreHistory, kHistoryWords, 2,
     "all, local, protocol:P, text:T, dates:YYYY-MM-DD..YYYY-MM-DD"},
    {"--cookies", CleanTarget::Cookies, kStoreCookies, kCookieWords, 2,
     "all, expired, text:T, dates:YYYY-MM-DD..YYYY-MM-DD"},
    {"--cache", CleanTarget::Cache, kStoreCache, kCacheWords, 5,
     "all, pictures, archives, styles, pages, text:T, dates:YYYY-MM-DD..YYYY-MM-DD"},
};

struct TraceOption {
    const char* option;
    CleanTarget target;
};

const TraceOption kTraceOptions[] = {
    {"--typed-urls", CleanTarget::TypedUrls},
    {"--run-history", CleanTarget::RunHistory},
    {"--recent-docs", CleanTarget::RecentDocs},
};

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

bool ParseCriterion(const StoreOption& o, const std::string& value, FileTime now, CleanRun* run, std::string* error) {
    std::int32_t kind = kCleanNothing;
    for (int i = 0; i < o.wordCount; ++i) {
        if (value == o.words[i].word)
            kind = o.words[i].kind;
    }
    std::string combo, box, dates, why;
    PickedDay from, to;
    if (kind == kCleanNothing && o.store == kStoreHistory && StartsWith(value, "protocol:", &combo))
        kind = kCleanSelectedProtocol;
    else if (kind == kCleanNothing && StartsWith(value, "text:", &box))
        kind = kCleanContainingText;
    else if (kind == kCleanNothing && StartsWith(value, "dates:", &dates))
        kind = kCleanBetweenDates;
    if (kind == kCleanNothing) {
        *error = std::string(o.option) + ": unknown criterion \"" + value + "\" (one of " + o.choices + ")";
        return false;
    }
    if (kind == kCleanBetweenDates && !ParseDates(dates, &from, &to, &why)) {
        *error = std::string(o.option) + " " + value + ": the range " + why;
        return false;
    }
    const std::string given = combo + box;
    if ((kind == kCleanSelectedProtocol || kind == kCleanContainingText) && given.empty()) {
        *error = std::string(o.option) + " " + value + ": the text is missing";
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
    return true;
}

// A store option at argv[*i], as "--option value" or "--option=value";
// *matched tells whether it is one.
bool ParseStoreOption(int argc, const char* const* argv, int* i, FileTime now, CleanRun* run, bool* matched,
                      std::string* error) {
    const std::string arg = argv[*i] ? argv[*i] : "";
    for (const StoreOption& o : kStoreOptions) {
        std::string value;
        if (arg == o.option) {
            if (*i + 1 >= argc) {
                *error = std::string(o.option) + " needs a criterion (one of " + o.choices + ")";
                return false;
            }
            value = argv[++*i];
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

// What the runs rebuild: there are no lists here.
struct NoLists : ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t) override {}
};

}  // namespace

bool ParseCleanCommand(int argc, const char* const* argv, FileTime now, CleanCommand* command, std::string* error) {
    *command = CleanCommand();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        bool matched = false;
        CleanRun run;
        if (!ParseStoreOption(argc, argv, &i, now, &run, &matched, error))
            return false;
        if (matched) {
            command->runs.push_back(run);
            continue;
        }
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
        if (arg == "--preview") {
            command->preview = true;
        } else if (arg == "--json") {
            command->json = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            command->help = true;
        } else {
            *error = (arg.compare(0, 1, "-") == 0 ? "unknown option " : "unexpected argument ") + arg;
            return false;
        }
    }
    if (command->runs.empty() && !command->help) {
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

int RunCleanTool(int argc, const char* const* argv, CleanServices& s, const CodePage& page, std::FILE* out,
                 std::FILE* err) {
    CleanCommand command;
    std::string error;
    // The Index Files dialog's changes, which it hands over when it lacks
    // the rights to make them: a command line of their own.
    IndexRemovalPlan removals;
    switch (ParseIndexRemovalArguments(argc, argv, &removals, &error)) {
    case RemovalArguments::Bad:
        std::fprintf(err, "tidewell-clean: %s\n", error.c_str());
        return kCleanBadArgument;
    case RemovalArguments::Parsed:
        return ChangeIndexRemovals(removals, s.registry, s.files) == kErrorSuccess ? kCleanDone : kCleanSomeFailed;
    case RemovalArguments::None:
        break;
    }
    if (!ParseCleanCommand(argc, argv, s.clock.NowUtc(), &command, &error)) {
        std::fprintf(err, "tidewell-clean: %s\n", error.c_str());
        return kCleanBadArgument;
    }
    if (command.help) {
        std::fputs(kCleanUsage, out);
        return kCleanDone;
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
            std::fprintf(err, "tidewell-clean: %s: %s\n", StoreTitle(run.target), StoreErrorText(e).c_str());
    }
    const std::string report =
        command.json ? CleanReportJson(results, command.preview, page) : CleanReportText(results, command.preview);
    std::fwrite(report.data(), 1, report.size(), out);
    if (keepListUnreadable) {
        std::fprintf(err, "tidewell-clean: %s\n", kKeepListUnreadable);
        return kCleanKeepListUnreadable;
    }
    return failed ? kCleanSomeFailed : kCleanDone;
}

}  // namespace tw
