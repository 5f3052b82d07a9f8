#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "clean/broker.h"
#include "clean/cleanup_dialog_model.h"

namespace tw {
namespace {

using Args = std::vector<std::string>;

// The C runtime's reading of a command line into arguments, for the
// round trip: 2n backslashes and a quote give n and toggle quoting, 2n+1
// give n and a literal quote, other backslashes stand as they are.
Args ParseCommandLine(const std::string& line) {
    Args out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
            std::size_t n = 0;
            while (i < line.size() && line[i] == '\\')
                ++n, ++i;
            if (i < line.size() && line[i] == '"') {
                arg.append(n / 2, '\\');
                if (n % 2)
                    arg += '"';
                else
                    quoted = !quoted;
            } else {
                arg.append(n, '\\');
                if (i >= line.size())
                    break;
                arg += line[i];
            }
        }
        out.push_back(arg);
    }
    return out;
}

TEST(BrokerCommand, EachArgumentReachesTheBrokerAsGiven) {
    struct Case { std::string arg, quoted; } cases[] = {
        {"--typed-urls", "--typed-urls"},
        {"C:\\dir\\f.ico", "C:\\dir\\f.ico"},  // backslashes alone stay
        {"", "\"\""},
        {"text:a b", "\"text:a b\""},
        {"a\tb", "\"a\tb\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"x\\\\ y", "\"x\\\\ y\""},
    };
    Args all;
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteArgument(c.arg), c.quoted) << c.arg;
        EXPECT_EQ(ParseCommandLine(QuoteArgument(c.arg)), Args{c.arg}) << c.arg;
        all.push_back(c.arg);
    }
    EXPECT_EQ(ParseCommandLine(BrokerCommand(all)), all);
    EXPECT_EQ(BrokerCommand({"--cookies", "expired"}), "--cookies expired");
}

// The broker is the one beside the module, never a bare name that the
// search path would find.
TEST(BrokerBeside, TheModulesFolderOrNothing) {
    EXPECT_EQ(BrokerBeside("C:\\Program Files\\Tidewell\\Tidewell.dll"), "C:\\Program Files\\Tidewell\\tidewell-cleanw.exe");
    EXPECT_EQ(BrokerBeside("C:\\Tidewell.dll"), "C:\\tidewell-cleanw.exe");
    EXPECT_EQ(BrokerBeside("Tidewell.dll"), "");
    EXPECT_EQ(BrokerBeside(""), "");
}

CleanupCriteria Criteria(std::int32_t store, std::int32_t kind, const char* text = "") {
    CleanupCriteria c;
    c.store = store;
    c.kind = kind;
    CopyField(c.text, text);
    return c;
}

// Each criterion that deletes something is the broker's option and word;
// what deletes nothing, or cannot be told to it exactly, is not sent.
TEST(BrokerCleanupArguments, TheSameCriteriaOrNothing) {
    FileTime dayStart, dayEnd, laterEnd;
    ASSERT_TRUE(DayStart(CivilDate{2024, 7, 5}, &dayStart) && DayEnd(CivilDate{2024, 7, 9}, &dayEnd) &&
                DayEnd(CivilDate{2024, 7, 5}, &laterEnd));
    CleanupCriteria dates = Criteria(kStoreCookies, kCleanBetweenDates);
    dates.from = dayStart;
    dates.to = dayEnd;
    CleanupCriteria oneDay = dates;
    oneDay.to = laterEnd;
    CleanupCriteria midDay = dates;
    midDay.from = FileTime::FromValue(dayStart.Value() + 1);  // a picker that could not be read: now
    CleanupCriteria backwards = dates;
    backwards.from = dayEnd;
    backwards.to = dayStart;
    CleanupCriteria allWithDays = dates;  // bounds count for dates only
    allWithDays.kind = kCleanAll;
    CleanupCriteria full = Criteria(kStoreCache, kCleanContainingText);
    std::memset(full.text, 'z', sizeof full.text);  // not terminated
    struct Case { CleanupCriteria criteria; Args args; } cases[] = {
        {Criteria(kStoreHistory, kCleanAll), {"--history", "all"}},
        {Criteria(kStoreHistory, kCleanLocalLinks), {"--history", "local"}},
        {Criteria(kStoreHistory, kCleanSelectedProtocol, "ftp:"), {"--history", "protocol:ftp:"}},
        {Criteria(kStoreHistory, kCleanContainingText, "a b"), {"--history", "text:a b"}},
        {Criteria(kStoreCookies, kCleanAll), {"--cookies", "all"}},
        {Criteria(kStoreCookies, kCleanExpiredCookies), {"--cookies", "expired"}},
        {Criteria(kStoreCache, kCleanPictures), {"--cache", "pictures"}},
        {Criteria(kStoreCache, kCleanArchives), {"--cache", "archives"}},
        {Criteria(kStoreCache, kCleanStylesAndScripts), {"--cache", "styles"}},
        {Criteria(kStoreCache, kCleanPagesAndOtherFiles), {"--cache", "pages"}},
        {full, {"--cache", "text:" + std::string(sizeof full.text, 'z')}},
        {allWithDays, {"--cookies", "all"}},
        {dates, {"--cookies", "dates:2024-07-05..2024-07-09"}},
        {oneDay, {"--cookies", "dates:2024-07-05..2024-07-05"}},
        {midDay, {}},
        {backwards, {}},
        {Criteria(kStoreHistory, kCleanContainingText), {}},
        {Criteria(kStoreHistory, kCleanSelectedProtocol), {}},
        {Criteria(kStoreCookies, kCleanSelectedProtocol, "ftp:"), {}},
        {Criteria(kStoreHistory, kCleanPictures), {}},
        {Criteria(kStoreCache, kCleanExpiredCookies), {}},
        {Criteria(kStoreCache, kCleanNothing), {}},
        {Criteria(4, kCleanAll), {}},
        {Criteria(0, kCleanAll), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BrokerCleanupArguments(c.criteria), c.args) << c.criteria.store << " " << c.criteria.kind;
}

TEST(BrokerRecord, ReadsTheCountsOfEachRunOrNothing) {
    const std::string record =
        "{\"preview\": false, \"runs\": [{\"store\": \"cookies\", \"criterion\": \"text:\\\"a]\\\\\", "
        "\"deleted\": [\"Cookie:a@x/\", \"Cookie:b@x/\"], \"kept\": [\"Cookie:k@y/\"], \"failed\": [], "
        "\"files\": [{\"path\": \"C:\\\\C\\\\a.txt\", \"bytes\": 120}, {\"path\": \"b\", \"bytes\": 9}]}, "
        "{\"store\": \"typed-urls\", \"criterion\": \"all\", \"deleted\": [], \"kept\": [], "
        "\"failed\": [\"url1\"], \"files\": [], \"extra\": {\"x\": [1, true, null]}}]}\n";
    std::vector<BrokerStoreRun> runs;
    ASSERT_TRUE(ReadBrokerRecord(record, &runs));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].store, "cookies");
    EXPECT_EQ(runs[0].deleted, 2u);
    EXPECT_EQ(runs[0].kept, 1u);
    EXPECT_EQ(runs[0].failed, 0u);
    EXPECT_EQ(runs[0].files, 2u);
    EXPECT_EQ(runs[0].bytes, 129u);
    EXPECT_EQ(runs[1].store, "typed-urls");
    EXPECT_EQ(runs[1].failed, 1u);
    EXPECT_TRUE(ReadBrokerRecord("{\"runs\": []}", &runs));
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(ReadBrokerRecord(" {\"runs\": [{}, {\"store\": \"cache\"}]}\r\n", &runs));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].store, "");
    EXPECT_EQ(runs[1].store, "cache");
    EXPECT_EQ(runs[1].deleted + runs[1].files, 0u);
    const std::string deep = std::string(40, '[') + std::string(40, ']');
    const char* const bad[] = {
        "", "[]", "{", "{\"runs\": [", "{\"runs\": [{\"store\": \"h\"}]", "{\"runs\": []} x",
        "{\"runs\": [{\"store\": \"h\\", "{\"runs\": [{\"deleted\": [\"a\",]}]}", "{\"runs\": 5}",
        "{\"runs\": [{\"files\": [{\"bytes\": 99999999999999999999999}]}]}",
        "{\"runs\": [{\"files\": [{\"bytes\": -1}]}]}", "{\"runs\": [{\"store\": 5}]}", "{runs: []}",
        "{runs\": []}", "{\"runs\": }", "{\"runs\": [{\"files\": [{\"bytes\": }]}]}",
        "{\"runs\": [{\"files\": [{\"bytes\": , \"path\": \"p\"}]}]}"};
    for (const char* text : bad) {
        runs.assign(1, BrokerStoreRun());
        EXPECT_FALSE(ReadBrokerRecord(text, &runs)) << text;
        EXPECT_TRUE(runs.empty()) << text;
    }
    EXPECT_FALSE(ReadBrokerRecord("{\"runs\": [], \"x\": " + deep + "}", &runs));
    // Fifteen levels below a member are read, sixteen are too deep.
    for (const int levels : {15, 16}) {
        const std::string arrays = std::string(levels, '[') + std::string(levels, ']');
        std::string objects = "0";
        for (int i = 0; i < levels; ++i)
            objects = "{\"x\": " + objects + "}";
        for (const std::string& nested : {arrays, objects})
            EXPECT_EQ(ReadBrokerRecord("{\"runs\": [], \"x\": " + nested + "}", &runs), levels == 15) << nested;
    }
    EXPECT_FALSE(ReadBrokerRecord(std::string("{\"runs\": []}\0", 13), &runs));
}

BrokerRun Ran(unsigned long code, const std::string& record = "") {
    BrokerRun run;
    run.started = run.ended = true;
    run.exitCode = code;
    run.recordRead = !record.empty();
    run.record = record;
    return run;
}

TEST(BrokerFailure, ToldInOneSentenceNamingWhatWasNotDone) {
    BrokerRun notStarted, running;
    running.started = true;
    const std::string failed = "{\"runs\": [{\"failed\": [\"a\", \"b\"]}, {\"failed\": [\"c\"]}]}";
    const std::string prefix = "Tidewell could not clear the Typed URL List outside Protected Mode: ";
    struct Case { BrokerRun run; BrokerOutcome outcome; std::string text; } cases[] = {
        {Ran(0), BrokerOutcome::Done, ""},
        {Ran(3), BrokerOutcome::KeepListUnreadable, ""},
        {notStarted, BrokerOutcome::NotStarted, prefix + "tidewell-cleanw.exe could not be started."},
        {running, BrokerOutcome::NoEnd, prefix + "tidewell-cleanw.exe did not finish in time."},
        {Ran(1, failed), BrokerOutcome::SomeFailed, prefix + "3 items could not be deleted."},
        {Ran(1, "{\"runs\": [{\"failed\": [\"a\"]}]}"), BrokerOutcome::SomeFailed,
         prefix + "1 item could not be deleted."},
        {Ran(1), BrokerOutcome::SomeFailed, prefix + "some items could not be deleted."},
        {Ran(2), BrokerOutcome::Failed, prefix + "tidewell-cleanw.exe ended with code 2."},
        {Ran(0xC0000005), BrokerOutcome::Failed, prefix + "tidewell-cleanw.exe ended with code 3221225477."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JudgeBrokerRun(c.run), c.outcome) << c.text;
        EXPECT_EQ(BrokerFailureText("clear the Typed URL List", c.run), c.text);
    }
}

}  // namespace
}  // namespace tw
