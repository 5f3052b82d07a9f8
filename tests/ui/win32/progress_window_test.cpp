#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handles.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/progress_window.h"

namespace tw {
namespace {

using testing::PumpUntil;

// A handle of the test's own on the latest progress thread.
UniqueKernelHandle LatestThread(const ProgressController& progress) {
    UniqueKernelHandle copy;
    const HANDLE process = GetCurrentProcess();
    DuplicateHandle(process, progress.RecordedThread(), process, copy.Receive(), 0, FALSE, DUPLICATE_SAME_ACCESS);
    return copy;
}

bool Ended(const UniqueKernelHandle& thread) { return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; }

TEST(ProgressWindow, ShowsWhileLoadingAndGoesAfterTheFlagIsCleared) {
    for (bool shownFirst : {true, false}) {
        ProgressController progress;
        progress.Start();
        EXPECT_TRUE(progress.Loading());
        const UniqueKernelHandle thread = LatestThread(progress);
        ASSERT_TRUE(thread);
        if (shownFirst) {
            ASSERT_TRUE(PumpUntil([&] { return progress.Window() != nullptr; }));
            const HWND window = progress.Window();
            EXPECT_NE(GetDlgItem(window, ProgressController::kIndicatorId), nullptr);
            EXPECT_TRUE(IsWindowVisible(window));
            // Read without a message: the progress thread answers none.
            wchar_t title[64] = {};
            InternalGetWindowText(window, title, 64);
            EXPECT_STREQ(title, L"Retrieving the data...");
        }
        progress.End();
        EXPECT_FALSE(progress.Loading());
        EXPECT_TRUE(PumpUntil([&] { return progress.Window() == nullptr && !progress.RecordedThread(); }))
            << shownFirst;
        EXPECT_EQ(WaitForSingleObject(thread.Get(), 5000), WAIT_OBJECT_0);
    }
}

TEST(ProgressWindow, TeardownDuringALoadEndsTheThread) {
    ProgressController progress;
    progress.Start();
    const UniqueKernelHandle thread = LatestThread(progress);
    ASSERT_TRUE(PumpUntil([&] { return progress.Window() != nullptr; }));
    progress.Teardown();
    EXPECT_FALSE(progress.Loading());
    EXPECT_TRUE(Ended(thread)) << "ended, not waited out";
    EXPECT_EQ(progress.RecordedThread(), nullptr);
}

// The first thread of two ends while the second runs on: the record is the
// second's, and Teardown waits for it.
TEST(ProgressWindow, AThreadThatEndsLeavesTheRecordOfALaterOne) {
    ProgressController progress;
    progress.Start();
    const UniqueKernelHandle first = LatestThread(progress);
    ASSERT_TRUE(PumpUntil([&] { return progress.Window() != nullptr; }));
    const HWND firstWindow = progress.Window();
    progress.Start();
    const UniqueKernelHandle second = LatestThread(progress);
    ASSERT_TRUE(PumpUntil([&] { return progress.Window() && progress.Window() != firstWindow; }));
    // Held inside its loop while the first sees the flag cleared and ends.
    ASSERT_NE(SuspendThread(second.Get()), DWORD(-1));
    progress.End();
    EXPECT_EQ(WaitForSingleObject(first.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_NE(progress.RecordedThread(), nullptr);
    ResumeThread(second.Get());
    progress.Teardown();
    EXPECT_TRUE(Ended(second));
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
    }
    EXPECT_EQ(GetModuleHandleA("cabinet.dll"), nullptr);
}

}  // namespace
}  // namespace tw
