#include "clean/broker.h"

#include <cstdio>
#include <cstring>

#include "clean/cleanup_dialog_model.h"

namespace tw {

const char kBrokerFileName[] = "tidewell-cleanw.exe";

std::string BrokerBeside(const std::string& module) {
    const std::size_t slash = module.rfind('\\');
    return slash == std::string::npos ? std::string() : module.substr(0, slash + 1) + kBrokerFileName;
}

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each stands doubled.
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string BrokerCommand(const std::vector<std::string>& arguments) {
    std::string out;
    for (const std::string& a : arguments)
        out += (out.empty() ? "" : " ") + QuoteArgument(a);
    return out;
}

namespace {

struct KindWord {
    std::int32_t store, kind;
    const char* word;
};

const KindWord kKindWords[] = {
    {kStoreHistory, kCleanAll, "all"},          {kStoreHistory, kCleanLocalLinks, "local"},
    {kStoreCookies, kCleanAll, "all"},          {kStoreCookies, kCleanExpiredCookies, "expired"},
    {kStoreCache, kCleanAll, "all"},            {kStoreCache, kCleanPictures, "pictures"},
    {kStoreCache, kCleanArchives, "archives"},  {kStoreCache, kCleanStylesAndScripts, "styles"},
    {kStoreCache, kCleanPagesAndOtherFiles, "pages"},
};

const char* StoreOption(std::int32_t store) {
    return store == kStoreHistory ? "--history" : store == kStoreCookies ? "--cookies" : "--cache";
}

// "YYYY-MM-DD" of the day that time starts (start) or ends; empty when it
// does neither.
std::string WholeDay(FileTime time, bool start) {
    CivilDate date;
    FileTime bound;
    if (!FileTimeToCivil(time, &date) || !(start ? DayStart(date, &bound) : DayEnd(date, &bound)) ||
        CompareFileTime(bound, time) != 0)
        return std::string();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace

std::vector<std::string> BrokerCleanupArguments(const CleanupCriteria& c) {
    if (c.store != kStoreHistory && c.store != kStoreCookies && c.store != kStoreCache)
        return {};
    // The sender's field need not be terminated.
    const std::string text(c.text, strnlen(c.text, sizeof c.text));
    std::string criterion;
    for (const KindWord& w : kKindWords) {
        if (w.store == c.store && w.kind == c.kind)
            criterion = w.word;
    }
    if (c.kind == kCleanSelectedProtocol && c.store == kStoreHistory && !text.empty())
        criterion = "protocol:" + text;
    if (c.kind == kCleanContainingText && !text.empty())
        criterion = "text:" + text;
    if (c.kind == kCleanBetweenDates && CompareFileTime(c.from, c.to) <= 0) {
        const std::string from = WholeDay(c.from, true), to = WholeDay(c.to, false);
        if (!from.empty() && !to.empty())
            criterion = "dates:" + from + ".." + to;
    }
    if (criterion.empty())
        return {};
    return {StoreOption(c.store), criterion};
}

namespace {

// Just enough of JSON for the record: objects, arrays, strings, numbers and
// the three words, nested at most kDepth deep.
class RecordReader {
public:
    explicit RecordReader(const std::string& text) : p_(text.c_str()), end_(text.c_str() + text.size()) {}

    bool Record(std::vector<BrokerStoreRun>* runs) {
        bool ok = Object(0, [&](const std::string& key) {
            return key == "runs" ? Array(1, [&] { return Run(runs); }) : Skip(1);
        });
        Blank();
        return ok && p_ == end_;
    }

private:
    static const int kDepth = 16;

    bool Run(std::vector<BrokerStoreRun>* runs) {
        BrokerStoreRun run;
        const auto count = [&](std::size_t* n) { return Array(3, [&] { return ++*n, Skip(3); }); };
        if (!Object(2, [&](const std::string& key) {
                if (key == "store")
                    return String(&run.store);
                if (key == "deleted" || key == "kept" || key == "failed")
                    return count(key == "deleted" ? &run.deleted : key == "kept" ? &run.kept : &run.failed);
                if (key == "files")
                    return Array(3, [&] {
                        ++run.files;
                        return Object(4, [&](const std::string& k) {
                            std::uint64_t bytes = 0;
                            if (k != "bytes")
                                return Skip(4);
                            const bool read = Number(&bytes);
                            run.bytes += bytes;
                            return read;
                        });
                    });
                return Skip(3);
            }))
            return false;
        runs->push_back(run);
        return true;
    }

    void Blank() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r'))
            ++p_;
    }
    bool Take(char c) {
        Blank();
        if (p_ < end_ && *p_ == c) {
            ++p_;
            return true;
        }
        return false;
    }

    template <typename Member>
    bool Object(int depth, Member member) {
        if (depth > kDepth || !Take('{'))
            return false;
        if (Take('}'))
            return true;
        do {
            std::string key;
            Blank();
            if (!String(&key) || !Take(':') || !member(key))
                return false;
        } while (Take(','));
        return Take('}');
    }

    template <typename Item>
    bool Array(int depth, Item item) {
        if (depth > kDepth || !Take('['))
            return false;
        if (Take(']'))
            return true;
        do {
            if (!item())
                return false;
        } while (Take(','));
        return Take(']');
    }

    // Escapes are kept as they stand: only the keys and the store's word,
    // which have none, are compared.
    bool String(std::string* out) {
        Blank();
        if (p_ >= end_ || *p_ != '"')
            return false;
        const char* start = ++p_;
        while (p_ < end_ && *p_ != '"') {
            if (*p_ == '\\' && end_ - p_ < 2)
                return false;
            p_ += *p_ == '\\' ? 2 : 1;
        }
        if (p_ >= end_)
            return false;
        out->assign(start, p_);
        ++p_;
        return true;
    }

    bool Number(std::uint64_t* out) {
        Blank();
        if (p_ >= end_ || *p_ < '0' || *p_ > '9')
            return false;
        std::uint64_t n = 0;
        for (; p_ < end_ && *p_ >= '0' && *p_ <= '9'; ++p_) {
            if (n > (UINT64_MAX - 9) / 10)
                return false;
            n = n * 10 + std::uint64_t(*p_ - '0');
        }
        *out = n;
        return true;
    }

    bool Skip(int depth) {
        Blank();
        if (p_ >= end_ || depth > kDepth)
            return false;
        std::string ignored;
        std::uint64_t number = 0;
        switch (*p_) {
        case '{': return Object(depth + 1, [&](const std::string&) { return Skip(depth + 1); });
        case '[': return Array(depth + 1, [&] { return Skip(depth + 1); });
        case '"': return String(&ignored);
        default: break;
        }
        for (const char* word : {"true", "false", "null"}) {
            const std::size_t n = std::strlen(word);
            if (std::size_t(end_ - p_) >= n && std::memcmp(p_, word, n) == 0) {
                p_ += n;
                return true;
            }
        }
        return Number(&number);
    }

    const char* p_;
    const char* end_;
};

}  // namespace

bool ReadBrokerRecord(const std::string& json, std::vector<BrokerStoreRun>* runs) {
    runs->clear();
    if (RecordReader(json).Record(runs))
        return true;
    runs->clear();
    return false;
}

BrokerOutcome JudgeBrokerRun(const BrokerRun& run) {
    if (!run.started)
        return BrokerOutcome::NotStarted;
    if (!run.ended)
        return BrokerOutcome::NoEnd;
    switch (run.exitCode) {
    case 0: return BrokerOutcome::Done;
    case 1: return BrokerOutcome::SomeFailed;
    case 3: return BrokerOutcome::KeepListUnreadable;
    default: return BrokerOutcome::Failed;
    }
}

std::string BrokerFailureText(const char* notDone, const BrokerRun& run) {
    std::string why;
    switch (JudgeBrokerRun(run)) {
    case BrokerOutcome::Done:
    case BrokerOutcome::KeepListUnreadable:
        return std::string();
    case BrokerOutcome::NotStarted:
        why = std::string(kBrokerFileName) + " could not be started";
        break;
    case BrokerOutcome::NoEnd:
        why = std::string(kBrokerFileName) + " did not finish in time";
        break;
    case BrokerOutcome::SomeFailed: {
        std::vector<BrokerStoreRun> runs;
        std::size_t failed = 0;
        if (run.recordRead && ReadBrokerRecord(run.record, &runs)) {
            for (const BrokerStoreRun& r : runs)
                failed += r.failed;
        }
        why = failed ? std::to_string(failed) + (failed == 1 ? " item" : " items") + " could not be deleted"
                     : std::string("some items could not be deleted");
        break;
    }
    case BrokerOutcome::Failed:
        why = std::string(kBrokerFileName) + " ended with code " + std::to_string(run.exitCode);
        break;
    }
    return std::string("Tidewell could not ") + notDone + " outside Protected Mode: " + why + ".";
}

}  // namespace tw
