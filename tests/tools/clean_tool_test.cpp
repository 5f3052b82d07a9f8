#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "clean/broker.h"
#include "clean/cleanup_dialog_model.h"
#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "settings/date_format.h"
#include "settings/settings_store.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"
#include "tools/clean/clean_tool.h"

namespace tw {
namespace {

using Texts = std::vector<std::string>;

using Wide = std::vector<std::u16string>;

// The arguments as wmain gets them, from texts in UTF-8.
Wide Args(const Texts& args) {
    Wide wide;
    for (const std::string& a : args) {
        std::u16string w;
        for (std::size_t i = 0; i < a.size();) {
            const unsigned char c = static_cast<unsigned char>(a[i]);
            const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            char32_t u = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
            for (int k = 1; k < n && i + k < a.size(); ++k)
                u = (u << 6) | (static_cast<unsigned char>(a[i + k]) & 0x3F);
            if (u >= 0x10000) {
                w += char16_t(0xD800 + ((u - 0x10000) >> 10));
                w += char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
            } else {
                w += char16_t(u);
            }
            i += std::size_t(n);
        }
        wide.push_back(w);
    }
    return wide;
}

std::string Utf8(const std::u16string& units) {
    std::string out;
    AppendUtf16AsUtf8(units.data(), units.size(), out);
    return out;
}

bool Parse(const Texts& args, FileTime now, CleanCommand* command, std::string* error) {
    return ParseCleanCommand(Args(args), Latin1CodePage(), now, command, error);
}

// Each good command line as its runs: target, word, store, kind, text, and
// the bounds of a store's criteria ("now" where the dialog leaves them).
TEST(CleanCommandLine, GoodArgumentsGiveTheDialogsCriteriaInTheOrderGiven) {
    struct Case { Texts args; std::string runs; } cases[] = {
        {{"--cookies", "expired"}, "1 expired 2 2 '' now now"},
        {{"--json", "--history=local", "--preview"}, "0 local 1 3 '' now now +preview +json"},
        {{"--history", "protocol:gopher:", "--cache", "text:A b"},
         "0 protocol:gopher: 1 4 'gopher:' now now|2 text:A b 3 9 'A b' now now"},
        {{"--cache", "dates:2024-07-05..2024-07-06"},
         "2 dates:2024-07-05..2024-07-06 3 10 '' 2024-07-05T00:00:00Z 2024-07-06T23:59:59.9999999Z"},
        {{"--history", "dates:2024-02-29..2024-02-29", "--typed-urls", "--run-history", "--recent-docs"},
         "0 dates:2024-02-29..2024-02-29 1 10 '' 2024-02-29T00:00:00Z 2024-02-29T23:59:59.9999999Z|3 all 0 0 ''|"
         "4 all 0 0 ''|5 all 0 0 ''"},
        {{"--cache", "pictures", "--cache", "archives", "--cache", "styles", "--cache=pages", "--cookies", "all"},
         "2 pictures 3 5 '' now now|2 archives 3 6 '' now now|2 styles 3 7 '' now now|2 pages 3 8 '' now now|"
         "1 all 2 1 '' now now"},
        {{"--cache", "text:?", "--cookies", "text:\xC3\xA9t\xC3\xA9"}, "2 text:? 3 9 '?' now now|1 text:\xE9t\xE9 2 9 '\xE9t\xE9' now now"},
        // Older than a number of days: from the first known time on; a path
        // is taken as typed, whatever the code page holds.
        {{"--cookies", "older-than:0", "--history=older-than:1", "--quiet", "--log", "C:\\\xD0\xB6.log"},
         "1 older-than:0 2 10 '' 1601-01-01T00:00:00.0000001Z now|0 older-than:1 1 10 '' "
         "1601-01-01T00:00:00.0000001Z 1601-01-01T00:00:00Z +quiet log:C:\\\xD0\xB6.log"},
        {{"--result", "r.json", "--list"}, " result:r.json+list"},
        {{"--version"}, "+version"},
        {{"--help"}, "+help"},
        {{"-h"}, "+help"},
        {{"/?"}, "+help"},
    };
    const FileTime now = FileTime::FromValue(12345);
    const auto at = [&now](FileTime t) { return t.Value() == now.Value() ? std::string(" now") : " " + IsoUtcTime(t); };
    for (const Case& c : cases) {
        CleanCommand command;
        std::string error, runs;
        ASSERT_TRUE(Parse(c.args, now, &command, &error)) << error;
        for (const CleanRun& r : command.runs) {
            const CleanupCriteria& k = r.criteria;
            runs += (runs.empty() ? "" : "|") + std::to_string(int(r.target)) + " " + r.criterion + " " +
                    std::to_string(k.store) + " " + std::to_string(k.kind) + " '" + k.text + "'" +
                    (k.store != 0 ? at(k.from) + at(k.to) : "");
        }
        runs += std::string(command.preview ? " +preview" : "") + (command.json ? " +json" : "") +
                (command.quiet ? " +quiet" : "") + (command.log.empty() ? "" : " log:" + Utf8(command.log)) +
                (command.result.empty() ? "" : " result:" + Utf8(command.result)) + (command.help ? "+help" : "") +
                (command.list ? "+list" : "") + (command.version ? "+version" : "");
        EXPECT_EQ(runs, c.runs);
    }
}

// The first bad argument is named, whatever came before it.
TEST(CleanCommandLine, BadArgumentsAreNamedInOneLine) {
    const std::string longText(99, 'x');
    struct Case { Texts args; std::string error; } cases[] = {
        {{}, "nothing to clean: give --history, --cookies, --cache, --typed-urls, --run-history or --recent-docs"},
        {{"--preview", "--json"}, "nothing to clean"},
        {{"--cookies", "all", "--cookies", "fresh"}, "--cookies: unknown criterion \"fresh\" (one of all, expired"},
        {{"--cookies", "local"}, "--cookies: unknown criterion \"local\""},
        {{"--cache", "protocol:ftp:"}, "--cache: unknown criterion \"protocol:ftp:\""},
        {{"--history", "ALL"}, "--history: unknown criterion \"ALL\""},
        {{"--cache"}, "--cache needs a criterion (one of all, pictures"},
        {{"--history", "text:"}, "--history text:: the text is missing"},
        {{"--history", "protocol:"}, "--history protocol:: the text is missing"},
        {{"--cookies", "text:" + longText}, "--cookies text:...: the text is longer than 98 characters"},
        {{"--history", "protocol:" + std::string(32, 'p')}, "--history protocol:...: the text is longer than 31"},
        {{"--cache", "dates:2024-02-30..2024-03-01"}, "--cache dates:2024-02-30..2024-03-01: the range is not two days"},
        {{"--cache", "dates:2024-3-1..2024-03-02"}, "dates:2024-3-1..2024-03-02: the range is not two days"},
        {{"--cache", "dates:2024-03-01"}, "dates:2024-03-01: the range is not two days"},
        {{"--cache", "dates:2024-03-01..2024-0x-02"}, "dates:2024-03-01..2024-0x-02: the range is not two days"},
        {{"--cache", "dates:2024-03-011..2024-03-12"}, "dates:2024-03-011..2024-03-12: the range is not two days"},
        {{"--cache", "dates:2024/03-01..2024-03-12"}, "dates:2024/03-01..2024-03-12: the range is not two days"},
        {{"--cache", "dates:2024-03-0:..2024-03-12"}, "dates:2024-03-0:..2024-03-12: the range is not two days"},
        {{"--cache", "dates:2024-03-01..2024-03-1/"}, "dates:2024-03-01..2024-03-1/: the range is not two days"},
        {{"--cache", "dates:2024-03-02..2024-03-01"}, "--cache dates:2024-03-02..2024-03-01: the range ends before it starts"},
        {{"--cookies", "all", "--typed-url"}, "unknown option --typed-url"},
        {{"--cookies", "all", "cookies"}, "unexpected argument cookies"},
        {{"--add-favorite", "x"}, "--add-favorite needs a name and a URL"},
        {{"--favorite-icon"}, "--favorite-icon needs an icon file"},
        {{"--favorite-icon", "i.ico"}, "--favorite-icon needs --add-favorite"},
        {{"--add-favorite", "a", "u", "--add-favorite", "b", "v"}, "--add-favorite is given twice"},
        {{"--add-favorite", "a", "u", "--favorite-icon", "i", "--favorite-icon", "j"}, "--favorite-icon is given twice"},
        // What the code page cannot hold would reach the stores as a best-fit
        // letter or a "?": full-width letters, Cyrillic, a dash, a lone surrogate.
        {{"--cache", "text:\xEF\xBD\x85\xEF\xBD\x98\xEF\xBD\x81mple"},
         "argument 2 \"text:???mple\" holds characters that the ANSI code page cannot hold exactly"},
        {{"--preview", "--cookies", "text:\xD0\xB6"}, "argument 3 \"text:?\" holds characters"},
        {{"\xE2\x80\x94" "cache", "all"}, "argument 1 \"?cache\" holds characters"},
        {{"--cache", "text:a\xED\xA0\x80"}, "argument 2 \"text:a?\" holds characters"},
        {{"--cache", "text: \t "}, "--cache \"text: \t \": the text is blank"},
        {{"--history", "protocol: "}, "--history \"protocol: \": the text is blank"},
        {{"--cache", "older-than:"}, "--cache older-than:: the days are not a number from 0 to 36525"},
        {{"--cookies", "older-than:-1"}, "--cookies older-than:-1: the days are not a number"},
        {{"--history", "older-than:36526"}, "--history older-than:36526: the days are not a number"},
        {{"--history", "older-than:3d"}, "--history older-than:3d: the days are not a number"},
        {{"--cache", "all", "--log"}, "--log needs the path of a file"},
        {{"--result", "", "--cache", "all"}, "--result needs the path of a file"},
        {{"--log", "x.log"}, "nothing to clean"},
        {{"--result", "--json", "--cache", "all"}, "--result needs the path of a file"},
    };
    for (const Case& c : cases) {
        CleanCommand command;
        std::string error;
        EXPECT_FALSE(Parse(c.args, FileTime(), &command, &error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    // The longest texts the dialogs send pass.
    for (const Texts& good : {Texts{"--history", "text:" + longText}, Texts{"--cache", "text:" + longText.substr(1)},
                              Texts{"--history", "protocol:" + std::string(31, 'p')}}) {
        CleanCommand command;
        std::string error;
        EXPECT_TRUE(Parse(good, FileTime(), &command, &error)) << error;
    }
}

// Output and files in memory; each can be made to refuse.
struct FakeHost : CleanHost {
    long Write(bool error, const std::string& text, TextKind kind) override {
        if (!error && outError != kErrorSuccess)
            return outError;
        (error ? err : out) += text;
        kinds += kind == TextKind::Utf8 ? 'u' : 'a';
        return kErrorSuccess;
    }
    long WriteFile(const std::u16string& path, const std::string& bytes, bool append) override {
        if (fileError != kErrorSuccess)
            return fileError;
        std::string& file = fileSystem[std::string(path.begin(), path.end())];
        file = append ? file + bytes : bytes;
        return kErrorSuccess;
    }
    std::string LocalTime() override { return "2026-12-09 03:04:05"; }
    std::string CommandLine() override { return "tidewell-clean \"a b\""; }
    // Asked before any run: where an exception met there ends.
    bool RunsAsSystem() override {
        if (throwing == 1)
            throw std::runtime_error("host gone");
        if (throwing == 2)
            throw std::bad_alloc();
        return system;
    }

    std::string out, err, kinds;
    std::map<std::string, std::string> fileSystem;
    long outError = kErrorSuccess, fileError = kErrorSuccess;
    bool system = false;
    int throwing = 0;  // 1: a runtime error, 2: no memory
};

// The stores as the demo seeds them, with a keep list.
struct Profile {
    Profile() {
        clock.now = FileTime::FromValue(1000);
        files.specialFolders = {{kFolderCookies, "C:\\C"}, {kFolderRecent, "C:\\R"}, {kFolderInternetCache, "C:\\T"}};
        cache.files = &files;
        const struct { const char* url; std::uint64_t expire; } cookies[] = {
            {"Cookie:alice@example.com/", 2000}, {"Cookie:alice@shop.example.net/cart", 10},
            {"Cookie:alice@news.example.org/", 0}, {"Cookie:alice@www.example.com/account", 5}};
        int n = 0;
        for (const auto& c : cookies) {
            fakes::FakeCacheEntry& e = cache.Add(c.url, "C:\\C\\c" + std::to_string(n++) + ".txt");
            e.expire = FileTime::FromValue(c.expire);
            files.AddFile(e.localFile).size = 40;
        }
        cache.Add("http://www.example.com/\"quoted\"\\path\x01\xE9.html", "C:\\T\\Content.IE5\\A\\p.html");
        files.AddFile("C:\\T\\Content.IE5\\A\\p.html").size = 2048;
        files.AddFile("C:\\T\\Content.IE5\\A\\left.bin").size = 1024;
        history.Add("http://www.example.com/");
        registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "http://www.example.com/");
        registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url2", "news.example.org");
        registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url4", "after a gap");
        registry.SetString(RegRoot::CurrentUser, kRunMruKey, "a", "notepad\\1");
        registry.SetDword(RegRoot::CurrentUser, kRunMruKey, "c", 7);
        registry.SetString(RegRoot::CurrentUser, kRunMruKey, "MRUList", "ca");
        files.AddFile("C:\\R\\letter.doc.lnk");
        files.AddFile("C:\\R\\Desktop.ini");
        SaveCookiesToKeep(registry, true, {"example.com"});
    }

    // The exit code, a newline, what went to out, then what went to err.
    std::string Run(const Texts& args, InternetShortcutWriter* favorites = nullptr) {
        CleanServices services{history, cache, files, clock, registry, shell, true, favorites};
        host.out.clear();
        host.err.clear();
        return std::to_string(RunCleanTool(Args(args), services, *page, host)) + "\n" + host.out + host.err;
    }

    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeRegistry registry;
    fakes::FakeShell shell;
    std::unique_ptr<CodePage> page = BuiltInWindows1252();
    FakeHost host;
};

// A preview says in JSON what the same run then does, byte for byte; the
// text of windows-1252 reaches JSON as UTF-8, escaped where JSON wants it.
TEST(CleanTool, APreviewListsWhatTheRunThenDeletes) {
    Profile p;
    const Texts args = {"--json", "--cookies", "expired", "--cache", "all", "--typed-urls", "--run-history"};
    Texts previewArgs = args;
    previewArgs.insert(previewArgs.begin(), "--preview");
    const std::string preview = p.Run(previewArgs);
    EXPECT_TRUE(p.cache.deleted.empty() && p.files.log.empty() && p.history.deleted.empty());
    const std::string expected =
        "0\n{\"preview\": true, \"runs\": ["
        "{\"store\": \"cookies\", \"criterion\": \"expired\", \"deleted\": [\"Cookie:alice@shop.example.net/cart\", "
        "\"Cookie:alice@news.example.org/\"], \"kept\": [\"Cookie:alice@www.example.com/account\"], \"failed\": [], "
        "\"files\": [], \"errors\": []}, "
        "{\"store\": \"cache\", \"criterion\": \"all\", \"deleted\": "
        "[\"http://www.example.com/\\\"quoted\\\"\\\\path\\u0001\xC3\xA9.html\"], \"kept\": [], \"failed\": [], "
        "\"files\": [{\"path\": \"C:\\\\T\\\\Content.IE5\\\\A\\\\left.bin\", \"bytes\": 1024}], \"errors\": []}, "
        "{\"store\": \"typed-urls\", \"criterion\": \"all\", \"deleted\": [\"http://www.example.com/\", "
        "\"news.example.org\"], \"kept\": [], \"failed\": [], \"files\": [], \"errors\": []}, "
        "{\"store\": \"run-history\", \"criterion\": \"all\", \"deleted\": [\"notepad\\\\1\", \"c\"], \"kept\": [], "
        "\"failed\": [], \"files\": [], \"errors\": []}]}\n";
    EXPECT_EQ(preview, expected);
    std::string real = expected;
    real.replace(real.find("true"), 4, "false");
    EXPECT_EQ(p.Run(args), real);
    // What the band reads back of it.
    std::vector<BrokerStoreRun> runs;
    ASSERT_TRUE(ReadBrokerRecord(real.substr(2), &runs));
    ASSERT_EQ(runs.size(), 4u);
    const std::size_t deleted[] = {2, 1, 2, 2};
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].deleted, deleted[i]) << i;
    EXPECT_EQ(runs[0].kept, 1u);
    EXPECT_EQ(runs[1].store, "cache");
    EXPECT_EQ(runs[1].files, 1u);
    EXPECT_EQ(runs[1].bytes, 1024u);
    EXPECT_TRUE(p.shell.questions.empty());
    EXPECT_EQ(p.registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey), Texts{"url4"});
    EXPECT_TRUE(p.registry.ValueNames(RegRoot::CurrentUser, kRunMruKey).empty());
}

// One line a run; a refused deletion gives 1, an unreadable keep list 3
// with every cookie kept, a bad argument 2 with nothing done at all.
TEST(CleanTool, LinesAndExitCodes) {
    Profile p;
    EXPECT_EQ(p.Run({"--preview", "--cookies", "all", "--history", "all", "--recent-docs"}),
              "0\nCookies (all): 2 would delete, 2 kept, 0 failed\nHistory (all): 1 would delete, 0 kept, 0 failed\n"
              "Recent documents: 1 would delete, 0 kept, 0 failed\n");
    EXPECT_EQ(p.Run({"--cookies", "all", "--cache", "fresh"}),
              "2\ntidewell-clean: --cache: unknown criterion \"fresh\" (one of all, pictures, archives, styles, pages, "
              "text:T, dates:YYYY-MM-DD..YYYY-MM-DD, older-than:DAYS)\n");
    EXPECT_TRUE(p.cache.deleted.empty() && p.files.log.empty());
    // The fake shell leaves the shortcut where it was.
    EXPECT_EQ(p.Run({"--recent-docs", "--cache", "text:EXAMPLE"}),
              "1\nRecent documents: 0 deleted, 0 kept, 1 failed\nCache (text:EXAMPLE): 1 deleted, 0 kept, 0 failed\n");
    EXPECT_EQ(p.shell.recentDocumentsCleared, 1);
    p.cache.entries[1].refusal = kErrorFileNotFound;
    EXPECT_EQ(p.Run({"--cache", "all", "--cookies", "all"}),
              "1\nCache (all): 0 deleted, 0 kept, 0 failed, 1 files (1 KB)\n"
              "Cookies (all): 1 deleted, 2 kept, 1 failed\n");
    p.registry.SetString(RegRoot::CurrentUser, kSettingsPathNew, kValueCookiesToKeep, "example.com");
    EXPECT_EQ(p.Run({"--cookies", "all", "--typed-urls"}),
              "3\nCookies (all): 0 deleted, 3 kept, 0 failed\nTyped URLs: 2 deleted, 0 kept, 0 failed\n"
              "tidewell-clean: " + std::string(kKeepListUnreadable) + "\n");
    EXPECT_EQ(p.cache.entries.size(), 3u);
    EXPECT_EQ(p.Run({"--help"}).substr(0, 25), "0\nusage: tidewell-clean [");
    p.files.AddFile("C:\\R\\Old.LNK");
    EXPECT_EQ(p.Run({"--preview", "--json", "--recent-docs"}),
              "0\n{\"preview\": true, \"runs\": [{\"store\": \"recent-docs\", \"criterion\": \"all\", \"deleted\": "
              "[\"C:\\\\R\\\\letter.doc.lnk\", \"C:\\\\R\\\\Old.LNK\"], \"kept\": [], \"failed\": [], \"files\": [], \"errors\": []}]}\n");
}

// Every failure to reach a store, to write the output or a record, and
// every exception ends in 1 with a line that says why; the user the run is
// for is never SYSTEM (4), and a text the code page cannot hold exactly
// deletes nothing (2).
TEST(CleanTool, EveryFailureHasItsExitCodeAndItsLine) {
    struct Case {
        const char* name;
        void (*fault)(Profile&);
        Texts args;
        std::string ran;  // the exit code, then what went to the error output
        std::size_t cookiesLeft;  // of the four, of which a run of "expired" takes two
    } cases[] = {
        {"read-only key",
         [](Profile& p) { p.registry.readOnlyPaths.push_back("software\\microsoft\\internet explorer\\typedurls"); },
         {"--typed-urls", "--cookies", "expired"},
         "1\ntidewell-clean: Typed URLs: the TypedURLs key cannot be opened for writing (error 5: access denied)\n", 2},
        {"history store", [](Profile& p) { p.history.failCreate = true; }, {"--history", "all"},
         "1\ntidewell-clean: History: the history store cannot be created (error 0x80040154: class not registered)\n",
         4},
        {"cache search", [](Profile& p) { p.cache.searchError = kErrorAccessDenied; }, {"--cache", "pictures"},
         "1\ntidewell-clean: Cache: the URL cache cannot be read (error 5: access denied)\n", 4},
        {"cache search ends well", [](Profile& p) { p.cache.searchError = kErrorNoMoreItems; }, {"--cache", "all"},
         "0\n", 4},
        {"no Recent folder", [](Profile& p) { p.files.specialFolders.erase(kFolderRecent); }, {"--recent-docs"},
         "1\ntidewell-clean: Recent documents: the Recent folder cannot be found (error 2: not found)\n", 4},
        {"full disk", [](Profile& p) { p.host.outError = kErrorDiskFull; }, {"--cookies", "expired"},
         "1\ntidewell-clean: the output cannot be written (error 112: the disk is full)\n", 2},
        {"quiet on a full disk", [](Profile& p) { p.host.outError = kErrorDiskFull; },
         {"--quiet", "--cookies", "expired"}, "0\n", 2},
        {"result refused", [](Profile& p) { p.host.fileError = kErrorAccessDenied; },
         {"--quiet", "--result", "r.json", "--cookies", "expired"},
         "1\ntidewell-clean: the result cannot be written (error 5: access denied)\n", 2},
        {"exception", [](Profile& p) { p.host.throwing = 1; }, {"--cookies", "expired"},
         "1\ntidewell-clean: the run stopped: host gone\n", 4},
        {"out of memory", [](Profile& p) { p.host.throwing = 2; }, {"--cookies", "expired"},
         "1\ntidewell-clean: not enough memory; the run stopped\n", 4},
        {"SYSTEM", [](Profile& p) { p.host.system = true; }, {"--cookies", "all"},
         "4\ntidewell-clean: runs as LocalSystem or as a service, whose stores are no signed-in user's; run it as "
         "the user whose traces are to go (a task with /ru of that user, or /sc onlogon)\n",
         4},
        {"full-width", [](Profile&) {}, {"--cache", "text:\xEF\xBD\x85\xEF\xBD\x98\xEF\xBD\x81mple", "--cookies", "all"},
         "2\ntidewell-clean: argument 2 \"text:???mple\" holds characters that the ANSI code page cannot hold "
         "exactly (shown as ?), so the stores could not be matched against it; nothing was done\n",
         4},
    };
    for (const Case& c : cases) {
        Profile p;
        c.fault(p);
        const std::string ran = p.Run(c.args);
        EXPECT_EQ(ran.substr(0, 2) + p.host.err, c.ran) << c.name;
        EXPECT_EQ(p.cache.entries.size() - 1, c.cookiesLeft) << c.name;
    }
}

// --log appends the local time, the command line and the JSON record a
// run; --result holds the record of the last run; --quiet prints nothing.
TEST(CleanTool, TheLogAndTheResultKeepTheRecord) {
    Profile p;
    EXPECT_EQ(p.Run({"--quiet", "--log", "t.log", "--result", "r.json", "--cookies", "expired"}), "0\n");
    const std::string first = p.host.fileSystem["r.json"];
    EXPECT_EQ(first.substr(0, 47), "{\"preview\": false, \"runs\": [{\"store\": \"cookies\"");
    EXPECT_EQ(p.Run({"--log", "t.log", "--result", "r.json", "--preview", "--cache", "all"}).substr(0, 25),
              "0\nCache (all): 1 would de");
    const std::string second = p.host.fileSystem["r.json"];
    EXPECT_EQ(second.substr(0, 17), "{\"preview\": true,");
    EXPECT_EQ(p.host.fileSystem["t.log"], "2026-12-09 03:04:05 \"tidewell-clean \\\"a b\\\"\" " + first +
                                              "2026-12-09 03:04:05 \"tidewell-clean \\\"a b\\\"\" " + second);
    // The JSON goes out as UTF-8, the lines as ANSI.
    p.host.kinds.clear();
    p.Run({"--json", "--cache", "all"});
    p.Run({"--cache", "all"});
    EXPECT_EQ(p.host.kinds, "ua");
    EXPECT_EQ(p.Run({"--version"}).substr(0, 17), "0\ntidewell-clean ");
    const std::string list = p.Run({"--list"});
    for (const char* line : {"\n--history  the browser's History\n", "\n  older-than:DAYS last updated more than",
                             "\n  protocol:P      pages whose URL holds", "\n--recent-docs  the shell's list"})
        EXPECT_NE(list.find(line), std::string::npos) << line;
}

// The Index Files dialog's changes, run by the broker: done with
// administrator rights, refused without them, and nothing but index files.
TEST(CleanTool, IndexFileRemovalsAtRestart) {
    Profile p;
    p.files.systemRecords = &p.registry;
    fakes::FakeProcessRights user;
    const auto pending = [&p]() -> std::string {
        const fakes::FakeRegistry::Value* v = p.registry.Find(
            RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue);
        if (!v)
            return "none";
        const std::vector<unsigned char> a = v->Ansi();
        return std::string(a.begin(), a.end());
    };
    struct Case { Texts args; bool administrator; const char* result; std::string after; } cases[] = {
        {{"--schedule-removal", "C:\\C\\index.dat"}, false, "1\n", "none"},
        {{"--schedule-removal", "C:\\C\\index.dat"}, true, "0\n", std::string("\\??\\C:\\C\\index.dat\0\0\0", 21)},
        {{"--withdraw-removal=c:\\c\\INDEX.DAT"}, false, "1\n", std::string("\\??\\C:\\C\\index.dat\0\0\0", 21)},
        {{"--withdraw-removal=c:\\c\\INDEX.DAT"}, true, "0\n", "none"},
        {{"--schedule-removal", "C:\\Windows\\x.dll"}, true,
         "2\ntidewell-clean: --schedule-removal C:\\Windows\\x.dll: not the full path of an index.dat file\n", "none"},
    };
    for (const auto& c : cases) {
        p.registry.rights = p.files.rights = c.administrator ? nullptr : &user;
        p.host.err.clear();
        const std::string ran = p.Run(c.args);
        EXPECT_EQ(ran.substr(0, 2) + p.host.err, c.result) << c.args[0];
        EXPECT_EQ(pending(), c.after) << c.args[0];
    }
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The band's Add to Favorites where the band may not write: into the
// user's Favorites folder only, under the name made fit, never over one
// that is there, and not in a preview.
TEST(CleanTool, AddsAFavoriteIntoTheFavoritesFolderOnly) {
    struct Writer : InternetShortcutWriter {
        bool Write(const std::string& path, const std::string& url, const std::string& icon,
                   const std::string& description) override {
            written += path + "|" + url + "|" + icon + "|" + description;
            return writes;
        }
        std::string written;
        bool writes = true;
    };
    const std::string taken = "1\ntidewell-clean: --add-favorite: a favorite named \"taken\" is there already\n";
    struct Case { Texts args; bool withWriter, writes; std::string result, written; } cases[] = {
        {{"--add-favorite", "My: page", "http://x/"}, true, true, "0\n", "C:\\Fav\\My_ page.url|http://x/||My_ page"},
        {{"--favorite-icon", "C:\\i.ico", "--add-favorite", "..\\up", "http://x/"}, true, true, "0\n",
         "C:\\Fav\\.._up.url|http://x/|C:\\i.ico|.._up"},
        {{"--add-favorite", "taken", "http://x/"}, true, true, taken, ""},
        {{"--add-favorite", "New", ""}, true, true,
         "1\ntidewell-clean: --add-favorite: the name or the URL is empty\n", ""},
        {{"--add-favorite", "New", "http://x/"}, true, false,
         "1\ntidewell-clean: --add-favorite: the favorite could not be written\n",
         "C:\\Fav\\New.url|http://x/||New"},
        {{"--add-favorite", "New", "http://x/"}, false, true, "1\ntidewell-clean: --add-favorite: not here\n", ""},
        {{"--preview", "--add-favorite", "New", "http://x/"}, true, true, "0\n", ""},
    };
    for (const Case& c : cases) {
        Profile p;
        p.registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "C:\\Fav");
        p.files.AddFolder("C:\\Fav");
        p.files.AddFile("C:\\Fav\\Taken.url");
        Writer writer;
        writer.writes = c.writes;
        EXPECT_EQ(p.Run(c.args, c.withWriter ? &writer : nullptr), c.result) << c.args[1];
        EXPECT_EQ(writer.written, c.written);
    }
}

}  // namespace
}  // namespace tw
