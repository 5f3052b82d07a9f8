// Each operation of the band in each state: what runs in the process, what
// goes to the broker with which arguments, and what the user is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "clean/shell_history.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_broker.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"
#include "ui/protected_mode.h"

namespace tw {
namespace {

using Texts = std::vector<std::string>;

const char kTypedQuestion[] = "Are you sure you want to delete Typed URL List?";
const char kNotStarted[] = " outside Protected Mode: tidewell-cleanw.exe could not be started.";

BrokerRun NotStarted() { return BrokerRun(); }
BrokerRun Running() {
    BrokerRun run;
    run.started = true;
    return run;
}

// What every case starts from: the process in Protected Mode or not, and
// a broker that answers every run as told.
struct Band {
    Band(bool protectedMode, const BrokerRun& answer) {
        rights.protectedMode = protectedMode;
        broker.answer = answer;
    }
    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
    fakes::FakeBroker broker;
    fakes::FakeProcessRights rights;
};

Texts Messages(const fakes::FakeShell& shell) {
    Texts out;
    for (const auto& m : shell.messages)
        out.push_back(m.first);
    return out;
}

// In the process the traces go as before, nothing is sent and nothing said;
// in Protected Mode nothing is tried in the process, the broker gets the
// trace's option after the same question, and only a broker that did not
// do it is told.
TEST(ProtectedModeTraces, InTheProcessOrThroughTheBrokerAfterTheSameQuestion) {
    struct Case {
        ShellTrace trace;
        bool protectedMode, confirm, yes;
        BrokerRun answer;
        bool clearedHere;
        Texts commands, messages;
    } cases[] = {
        {ShellTrace::TypedUrls, false, true, true, fakes::FakeBroker::Done(""), true, {}, {}},
        {ShellTrace::RecentDocuments, false, false, true, NotStarted(), true, {}, {}},
        {ShellTrace::RunHistory, false, false, true, NotStarted(), true, {}, {}},
        {ShellTrace::TypedUrls, true, true, true, fakes::FakeBroker::Done(""), false, {"--typed-urls"}, {}},
        {ShellTrace::TypedUrls, true, true, false, NotStarted(), false, {}, {}},
        {ShellTrace::RecentDocuments, true, false, true, fakes::FakeBroker::Done(""), false, {"--recent-docs"}, {}},
        {ShellTrace::RunHistory, true, false, true, fakes::FakeBroker::Done(""), false, {"--run-history"}, {}},
        {ShellTrace::TypedUrls, true, false, true, NotStarted(), false, {"--typed-urls"},
         {std::string("Tidewell could not clear the Typed URL List") + kNotStarted}},
        {ShellTrace::RunHistory, true, false, true, fakes::FakeBroker::Done("", 2), false, {"--run-history"},
         {"Tidewell could not clear the Run History outside Protected Mode: tidewell-cleanw.exe ended with code 2."}},
        {ShellTrace::RecentDocuments, true, false, true, NotStarted(), false, {"--recent-docs"},
         {std::string("Tidewell could not clear the Recent Documents") + kNotStarted}},
    };
    for (const Case& c : cases) {
        Band band(c.protectedMode, c.answer);
        auto& [registry, files, shell, broker, rights] = band;
        shell.answerYes = c.yes;
        registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "x");
        registry.SetString(RegRoot::CurrentUser, kRunMruKey, "a", "x");
        ClearShellTrace(c.trace, c.confirm, rights, registry, shell, files, broker);
        const bool typed = registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey).empty();
        const bool run = registry.ValueNames(RegRoot::CurrentUser, kRunMruKey).empty();
        const bool recent = shell.recentDocumentsCleared != 0;
        EXPECT_EQ(c.trace == ShellTrace::TypedUrls ? typed : c.trace == ShellTrace::RunHistory ? run : recent,
                  c.clearedHere);
        EXPECT_EQ(int(typed) + int(run) + int(recent), c.clearedHere ? 1 : 0) << "one trace only";
        EXPECT_EQ(broker.commands, c.commands);
        EXPECT_EQ(Messages(shell), c.messages);
        EXPECT_EQ(shell.questions.size(), c.confirm ? 1u : 0u);
        if (c.confirm && c.trace == ShellTrace::TypedUrls) {
            EXPECT_EQ(shell.questions, Texts{kTypedQuestion});
        }
    }
}

struct NoLists : ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t store) override { rebuilt.push_back(store); }
    std::vector<std::int32_t> rebuilt;
};

CleanupCriteria Criteria(std::int32_t store, std::int32_t kind, const char* text = "") {
    CleanupCriteria c;
    c.store = store;
    c.kind = kind;
    CopyField(c.text, text);
    return c;
}

// The run in the process always happens; in Protected Mode the broker runs
// it again over the normal stores, its deletions reach the status line,
// and a keep list that either side could not read is told once.
TEST(ProtectedModeCleanup, TheProcessCleansItsStoresAndTheBrokerTheNormalOnes) {
    const std::string record = "{\"preview\": false, \"runs\": [{\"store\": \"cookies\", \"criterion\": \"all\", "
                               "\"deleted\": [\"Cookie:a@x/\", \"Cookie:b@x/\", \"Cookie:c@x/\"], \"kept\": [], "
                               "\"failed\": [], \"files\": []}]}";
    struct Case {
        bool protectedMode, keepReadable;
        CleanupCriteria criteria;
        BrokerRun answer;
        Texts commands, messages;
        bool brokerRan;
        std::size_t deleted;
        std::string status;
    } cases[] = {
        {false, true, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done(record), {}, {}, false, 0,
         "Internet Explorer Cookies contain: 7 items"},
        {false, false, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done(record), {}, {kKeepListUnreadable},
         false, 0, "Internet Explorer Cookies contain: 7 items"},
        {true, true, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done(record), {"--cookies all"}, {}, true,
         3, "Internet Explorer Cookies contain: 7 items; 3 deleted outside Protected Mode"},
        {true, true, Criteria(kStoreHistory, kCleanContainingText, "a b"), fakes::FakeBroker::Done(""),
         {"--history \"text:a b\""}, {}, true, 0,
         "Internet Explorer History contains: 7 items; 0 deleted outside Protected Mode"},
        {true, true, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done("", 3), {"--cookies all"},
         {kKeepListUnreadable}, true, 0, ""},
        {true, false, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done("", 3), {"--cookies all"},
         {kKeepListUnreadable}, true, 0, ""},
        {true, true, Criteria(kStoreCache, kCleanPictures), NotStarted(), {"--cache pictures"},
         {std::string("Tidewell could not clean the Cache") + kNotStarted}, false, 0,
         "Internet Explorer Cache contains: 7 items"},
        {true, true, Criteria(kStoreCache, kCleanPictures), Running(), {"--cache pictures"},
         {"Tidewell could not clean the Cache outside Protected Mode: tidewell-cleanw.exe did not finish in time."},
         false, 0, "Internet Explorer Cache contains: 7 items"},
        {true, true, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done(record, 1), {"--cookies all"},
         {"Tidewell could not clean the Cookies outside Protected Mode: some items could not be deleted."}, true, 3,
         "Internet Explorer Cookies contain: 7 items; 3 deleted outside Protected Mode"},
        {true, true, Criteria(kStoreHistory, kCleanContainingText), NotStarted(), {}, {}, false, 0,
         "Internet Explorer History contains: 7 items"},
        {true, true, Criteria(kStoreCache, kCleanExpiredCookies), NotStarted(), {}, {}, false, 0,
         "Internet Explorer Cache contains: 7 items"},
    };
    for (const Case& c : cases) {
        fakes::FakeHistory history;
        fakes::FakeUrlCache cache;
        fakes::FakeClock clock;
        Band band(c.protectedMode, c.answer);
        auto& [registry, files, shell, broker, rights] = band;
        if (!c.keepReadable)
            registry.SetString(RegRoot::CurrentUser, kSettingsPathNew, kValueCookiesToKeep, "example.net");
        cache.Add("Cookie:bob@x.com/");
        Cleaner cleaner(history, cache, files, clock);
        NoLists lists;
        const CleanupBeyond beyond = RunBandCleanup(c.criteria, true, cleaner, lists, registry, true, shell, rights,
                                                    broker);
        EXPECT_EQ(lists.rebuilt, std::vector<std::int32_t>{c.criteria.store}) << "the process's run is the same";
        EXPECT_EQ(broker.commands, c.commands);
        EXPECT_EQ(Messages(shell), c.messages);
        EXPECT_EQ(beyond.brokerRan, c.brokerRan);
        EXPECT_EQ(beyond.deleted, c.deleted);
        if (!c.status.empty()) {
            const EntryKind kind = c.criteria.store == kStoreHistory   ? EntryKind::History
                                   : c.criteria.store == kStoreCookies ? EntryKind::Cookie
                                                                       : EntryKind::Cache;
            EXPECT_EQ(BeyondStatusText(kind, 7, beyond), c.status);
        }
    }
}

// A preview asks the broker for its preview of the same run, and its count
// joins the status line; without Protected Mode nothing is asked.
TEST(ProtectedModeCleanup, APreviewAsksTheBrokerForItsPreviewToo) {
    const std::string record = "{\"preview\": true, \"runs\": [{\"store\": \"cache\", \"deleted\": [\"a\", \"b\"]}]}";
    struct Case {
        bool protectedMode;
        CleanupCriteria criteria;
        BrokerRun answer;
        Texts commands, messages;
        std::string text;
    } cases[] = {
            {false, Criteria(kStoreCache, kCleanAll), fakes::FakeBroker::Done(record), {}, {}, "Preview: x"},
            {true, Criteria(kStoreCache, kCleanAll), fakes::FakeBroker::Done(record), {"--preview --cache all"}, {},
             "Preview: x; 2 more outside Protected Mode"},
            {true, Criteria(kStoreCookies, kCleanAll), fakes::FakeBroker::Done("", 3), {"--preview --cookies all"}, {},
             "Preview: x; 0 more outside Protected Mode"},
            {true, Criteria(kStoreHistory, kCleanContainingText), fakes::FakeBroker::Done(record), {}, {},
             "Preview: x"},
            {true, Criteria(kStoreCache, kCleanAll), NotStarted(), {"--preview --cache all"},
             {std::string("Tidewell could not preview how to clean the Cache") + kNotStarted}, "Preview: x"},
        };
    for (const Case& c : cases) {
        Band band(c.protectedMode, c.answer);
        const CleanupBeyond beyond = PreviewBeyond(c.criteria, band.rights, band.shell, band.broker);
        EXPECT_EQ(band.broker.commands, c.commands);
        EXPECT_EQ(Messages(band.shell), c.messages);
        EXPECT_EQ(BeyondPreviewText("Preview: x", beyond), c.text);
    }
}

// A favorite goes to the broker by its name, with the icon when one is
// chosen, and only a broker that wrote it gives the success message.
TEST(ProtectedModeFavorites, WrittenByTheBrokerUnderTheirNameAndToldAsBefore) {
    struct Case {
        bool protectedMode;
        const char* icon;
        BrokerRun answer;
        Texts commands;
        std::string message;
        bool writtenHere;
    } cases[] = {
        {false, "", fakes::FakeBroker::Done(""), {}, "New entry has been successfully added.", true},
        {true, "", fakes::FakeBroker::Done(""), {"--add-favorite \"My page\" http://x/"},
         "New entry has been successfully added.", false},
        {true, "C:\\i.ico", fakes::FakeBroker::Done(""),
         {"--add-favorite \"My page\" http://x/ --favorite-icon C:\\i.ico"}, "New entry has been successfully added.",
         false},
        {true, "", fakes::FakeBroker::Done("", 1), {"--add-favorite \"My page\" http://x/"}, "Unable update Favorites.",
         false},
        {true, "", NotStarted(), {"--add-favorite \"My page\" http://x/"}, "Unable update Favorites.", false},
    };
    for (const Case& c : cases) {
        Band band(c.protectedMode, c.answer);
        auto& [registry, files, shell, broker, rights] = band;
        registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "C:\\Fav");
        files.AddFolder("C:\\Fav");
        struct Here : InternetShortcutWriter {
            bool Write(const std::string& path, const std::string&, const std::string&, const std::string&) override {
                written.push_back(path);
                return true;
            }
            Texts written;
        } here;
        BrokerShortcutWriter throughBroker(broker);
        const Latin1CodePage page;
        AddFavorite({"My page", "http://x/", c.icon},
                    {registry, files, shell, FavoritesWriter(rights, here, throughBroker), page});
        EXPECT_EQ(broker.commands, c.commands);
        EXPECT_EQ(Messages(shell), Texts{c.message});
        EXPECT_EQ(here.written, c.writtenHere ? Texts{"C:\\Fav\\My page.url"} : Texts{});
    }
}

}  // namespace
}  // namespace tw
