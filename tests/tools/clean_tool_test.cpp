#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "clean/cleanup_dialog_model.h"
#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "settings/date_format.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"
#include "tools/clean/clean_tool.h"

namespace tw {
namespace {

using Texts = std::vector<std::string>;

// As main gets it: argc is one less than its size, the last is null.
std::vector<const char*> Argv(const Texts& args) {
    std::vector<const char*> argv = {"tidewell-clean"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    return argv;
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
        {{"--help"}, "+help"},
        {{"-h"}, "+help"},
        {{"/?"}, "+help"},
    };
    const FileTime now = FileTime::FromValue(12345);
    const auto at = [&now](FileTime t) { return t.Value() == now.Value() ? std::string(" now") : " " + IsoUtcTime(t); };
    for (const Case& c : cases) {
        std::vector<const char*> argv = Argv(c.args);
        CleanCommand command;
        std::string error, runs;
        ASSERT_TRUE(ParseCleanCommand(int(argv.size()) - 1, argv.data(), now, &command, &error)) << error;
        for (const CleanRun& r : command.runs) {
            const CleanupCriteria& k = r.criteria;
            runs += (runs.empty() ? "" : "|") + std::to_string(int(r.target)) + " " + r.criterion + " " +
                    std::to_string(k.store) + " " + std::to_string(k.kind) + " '" + k.text + "'" +
                    (k.store != 0 ? at(k.from) + at(k.to) : "");
        }
        runs += std::string(command.preview ? " +preview" : "") + (command.json ? " +json" : "") +
                (command.help ? "+help" : "");
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
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = Argv(c.args);
        CleanCommand command;
        std::string error;
        EXPECT_FALSE(ParseCleanCommand(int(argv.size()) - 1, argv.data(), FileTime(), &command, &error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    // The longest texts the dialogs send pass.
    for (const Texts& good : {Texts{"--history", "text:" + longText}, Texts{"--cache", "text:" + longText.substr(1)},
                              Texts{"--history", "protocol:" + std::string(31, 'p')}}) {
        std::vector<const char*> argv = Argv(good);
        CleanCommand command;
        std::string error;
        EXPECT_TRUE(ParseCleanCommand(int(argv.size()) - 1, argv.data(), FileTime(), &command, &error)) << error;
    }
}

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
    std::string Run(const Texts& args) {
        std::vector<const char*> argv = Argv(args);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        CleanServices services{history, cache, files, clock, registry, shell, true};
        std::string s = std::to_string(RunCleanTool(int(argv.size()) - 1, argv.data(), services, *page, out, err)) + "\n";
        for (std::FILE* f : {out, err}) {
            std::rewind(f);
            for (int c; (c = std::fgetc(f)) != EOF;)
                s += char(c);
            std::fclose(f);
        }
        return s;
    }

    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeRegistry registry;
    fakes::FakeShell shell;
    std::unique_ptr<CodePage> page = BuiltInWindows1252();
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
              "text:T, dates:YYYY-MM-DD..YYYY-MM-DD)\n");
    EXPECT_TRUE(p.cache.deleted.empty() && p.files.log.empty());
    // The fake shell leaves the shortcut where it was.
    EXPECT_EQ(p.Run({"--recent-docs", "--cache", "text:EXAMPLE"}),
              "1\nRecent documents: 0 deleted, 0 kept, 1 failed\nCache (text:EXAMPLE): 1 deleted, 0 kept, 0 failed\n");
    EXPECT_EQ(p.shell.recentDocumentsCleared, 1);
    p.cache.entries[1].locked = true;
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
        EXPECT_EQ(p.Run(c.args), c.result) << c.args[0];
        EXPECT_EQ(pending(), c.after) << c.args[0];
    }
}

}  // namespace
}  // namespace tw
