#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/shell_history.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;

TEST(ShellHistory, TypedUrlsStopAtTheFirstMissingNumberAndRunHistoryKeepsNonLetters) {
    Names many;
    for (int n = 1; n <= 120; ++n)  // no upper limit
        many.push_back("url" + std::to_string(n));
    struct Case { const char* key; Names present, left; } cases[] = {
        {kTypedUrlsKey, {"url1", "url2", "url3", "url5"}, {"url5"}},
        {kTypedUrlsKey, {"url2", "url3"}, {"url2", "url3"}},
        {kTypedUrlsKey, {"url1", "url10", "url11"}, {"url10", "url11"}},
        {kTypedUrlsKey, {"url1", "URL2", "Other"}, {"Other"}},
        {kTypedUrlsKey, many, {}},
        // Every letter and the order go; names compare without regard to case.
        {kRunMruKey, {"a", "c", "z", "MRUList", "aa", "MRUListEx", "1", "`", "{", "@", "["},
         {"1", "@", "[", "`", "aa", "MRUListEx", "{"}},
        {kRunMruKey, {"A", "Z", "mrulist"}, {}},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        fakes::FakeShell shell;
        for (const std::string& name : c.present)
            registry.SetString(RegRoot::CurrentUser, c.key, name, "x");
        (c.key == kTypedUrlsKey ? ClearTypedUrls : ClearRunHistory)(registry, shell, false);
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, c.key), c.left);
        EXPECT_EQ(registry.openKeys, 0);
    }
}

// Missing keys are neither created nor reported.
TEST(ShellHistory, EachCommandAsksItsQuestionUnlessConfirmationIsOff) {
    struct Case { bool keys, confirm, yes, cleared; } cases[] = {
        {true, true, false, false}, {true, true, true, true}, {true, false, false, true}, {false, true, true, true}};
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        fakes::FakeShell shell;
        shell.answerYes = c.yes;
        if (c.keys) {
            registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "x");
            registry.SetString(RegRoot::CurrentUser, kRunMruKey, "a", "x");
        }
        ClearTypedUrls(registry, shell, c.confirm);
        ClearRecentDocuments(shell, c.confirm);
        ClearRunHistory(registry, shell, c.confirm);
        const Names asked = {"Are you sure you want to delete Typed URL List?",
                             "Are you sure you want to delete Desktop Recent Documents History?",
                             "Are you sure you want to delete Desktop Run History?"};
        EXPECT_EQ(shell.questions, c.confirm ? asked : Names());
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey).empty(), c.cleared);
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunMruKey).empty(), c.cleared);
        EXPECT_EQ(registry.HasKey(RegRoot::CurrentUser, kTypedUrlsKey), c.keys);
        EXPECT_EQ(registry.HasKey(RegRoot::CurrentUser, kRunMruKey), c.keys);
        EXPECT_EQ(shell.recentDocumentsCleared, c.cleared ? 1 : 0);
        EXPECT_TRUE(shell.messages.empty());
    }
}

}  // namespace
}  // namespace tw
