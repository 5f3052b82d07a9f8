#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/win32/progress_window.h"

namespace tw {
namespace {

// Reads the window's own text without sending it a message: the progress
// thread has no message loop to answer one.
std::wstring TitleOf(HWND w) {
    wchar_t text[64] = {};
    InternalGetWindowText(w, text, 64);
    return text;
}

HWND WaitForWindow(const ProgressController& progress, bool present, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = progress.Window();
        if ((w != nullptr) == present || GetTickCount() - start > timeoutMs)
            return w;
        Sleep(5);
    }
}

bool WaitForHandleCleared(const ProgressController& progress, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (progress.RecordedThread() != nullptr) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

TEST(ProgressWindow, ShowsWhileLoadingAndGoesAfterTheFlagIsCleared) {
    ProgressController progress;
    progress.Start();
    EXPECT_TRUE(progress.Loading());
    EXPECT_NE(progress.RecordedThread(), nullptr);
    HWND window = WaitForWindow(progress, true, 2000);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetDlgItem(window, ProgressController::kIndicatorId), nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(TitleOf(window), L"Retrieving the data...");
    Sleep(120);  // a few steps of the walk
    progress.End();
    // The window is let go within a step; destroying it can take Wine's X
    // driver up to two seconds without a window manager.
    EXPECT_EQ(WaitForWindow(progress, false, 200), nullptr);
    EXPECT_TRUE(WaitForHandleCleared(progress, 4000));
}

TEST(ProgressWindow, ShortLoadEndsPromptly) {
    ProgressController progress;
    progress.Start();
    progress.End();
    // The window is let go within a step; destroying it can take Wine's X
    // driver up to two seconds without a window manager.
    EXPECT_EQ(WaitForWindow(progress, false, 200), nullptr);
    EXPECT_TRUE(WaitForHandleCleared(progress, 4000));
}

TEST(ProgressWindow, TeardownDuringALoadEndsTheThreadWellInsideTheLimit) {
    ProgressController progress;
    progress.Start();
    ASSERT_NE(WaitForWindow(progress, true, 2000), nullptr);
    const DWORD start = GetTickCount();
    progress.Teardown();
    EXPECT_LT(GetTickCount() - start, ProgressController::kTeardownWaitMs);
    EXPECT_FALSE(progress.Loading());
    EXPECT_EQ(progress.RecordedThread(), nullptr);
}

TEST(ProgressWindow, ASecondLoadWhileTheFirstEndsRunsToo) {
    ProgressController progress;
    progress.Start();
    progress.End();
    progress.Start();
    EXPECT_NE(WaitForWindow(progress, true, 2000), nullptr);
    progress.End();
    EXPECT_EQ(WaitForWindow(progress, false, 2000), nullptr);
    progress.Teardown();
}

// The module that holds the progress code stays loaded while a progress
// thread runs, whoever else lets it go, and is let go when the thread ends.
TEST(ProgressWindow, AThreadKeepsItsModuleLoadedUntilItEnds) {
    HMODULE module = LoadLibraryA("cabinet.dll");
    ASSERT_NE(module, nullptr);
    {
        ProgressController progress(module);
        progress.Start();
        FreeLibrary(module);
        EXPECT_EQ(GetModuleHandleA("cabinet.dll"), module);
        progress.Teardown();
        EXPECT_TRUE(WaitForHandleCleared(progress, 2000));
    }
    Sleep(50);
    EXPECT_EQ(GetModuleHandleA("cabinet.dll"), nullptr);
}

}  // namespace
}  // namespace tw
