#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/shell_history.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;
using fakes::FakeRegistry;
using fakes::FakeShell;

Names TypedUrlsLeft(const Names& present) {
    FakeRegistry registry;
    FakeShell shell;
    for (const std::string& name : present)
        registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, name, "http://x/");
    ClearTypedUrls(registry, shell, false);
    EXPECT_EQ(registry.openKeys, 0);
    return registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey);
}

TEST(TypedUrls, StopAtTheFirstMissingNumber) {
    struct Case {
        Names present, left;
    } cases[] = {
        {{"url1", "url2", "url3", "url5"}, {"url5"}},
        {{"url2", "url3"}, {"url2", "url3"}},
        {{"url1", "url10", "url11"}, {"url10", "url11"}},
        {{"url1", "URL2", "Other"}, {"Other"}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypedUrlsLeft(c.present), c.left);
}

TEST(TypedUrls, HaveNoUpperLimit) {
    Names present;
    for (int n = 1; n <= 120; ++n)
        present.push_back("url" + std::to_string(n));
    EXPECT_EQ(TypedUrlsLeft(present), Names{});
}

TEST(RunHistory, DeletesEveryLetterAndTheOrderOnly) {
    FakeRegistry registry;
    FakeShell shell;
    for (const char* name : {"a", "c", "z", "MRUList", "aa", "MRUListEx", "1"})
        registry.SetString(RegRoot::CurrentUser, kRunMruKey, name, "x");
    ClearRunHistory(registry, shell, false);
    // Names compare without regard to case, as the registry's do.
    EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunMruKey), (Names{"1", "aa", "MRUListEx"}));
    EXPECT_EQ(registry.openKeys, 0);
}

TEST(ShellHistory, MissingKeysAreNeitherCreatedNorReported) {
    FakeRegistry registry;
    FakeShell shell;
    ClearTypedUrls(registry, shell, true);
    ClearRunHistory(registry, shell, true);
    EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, kTypedUrlsKey));
    EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, kRunMruKey));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(registry.openKeys, 0);
}

TEST(ShellHistory, NoLeavesEverythingAndEachCommandAsksItsQuestion) {
    FakeRegistry registry;
    FakeShell shell;
    shell.answerYes = false;
    registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "x");
    registry.SetString(RegRoot::CurrentUser, kRunMruKey, "a", "x");
    ClearTypedUrls(registry, shell, true);
    ClearRecentDocuments(shell, true);
    ClearRunHistory(registry, shell, true);
    EXPECT_EQ(shell.questions, (Names{"Are you sure you want to delete Typed URL List?",
                                      "Are you sure you want to delete Desktop Recent Documents History?",
                                      "Are you sure you want to delete Desktop Run History?"}));
    EXPECT_NE(registry.Find(RegRoot::CurrentUser, kTypedUrlsKey, "url1"), nullptr);
    EXPECT_NE(registry.Find(RegRoot::CurrentUser, kRunMruKey, "a"), nullptr);
    EXPECT_EQ(shell.recentDocumentsCleared, 0);
}

TEST(ShellHistory, WithoutConfirmationNothingIsAsked) {
    FakeRegistry registry;
    FakeShell shell;
    shell.answerYes = false;
    registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "x");
    ClearTypedUrls(registry, shell, false);
    ClearRecentDocuments(shell, false);
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_EQ(registry.Find(RegRoot::CurrentUser, kTypedUrlsKey, "url1"), nullptr);
    EXPECT_EQ(shell.recentDocumentsCleared, 1);
}

TEST(ShellHistory, YesGoesOn) {
    FakeShell shell;
    ClearRecentDocuments(shell, true);
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.recentDocumentsCleared, 1);
}

}  // namespace
}  // namespace tw
