#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handles.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/controls/progress_window.h"

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

// Ended by its flag, shown or not yet, or torn down during the load: the
// window goes and the thread ends, never waited out.
TEST(ProgressWindow, ShowsWhileLoadingAndGoesWhenEndedOrTornDown) {
    for (int way = 0; way < 3; ++way) {
        const bool shownFirst = way != 1, tornDown = way == 2;
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
        if (tornDown) {
            progress.Teardown();
            EXPECT_TRUE(Ended(thread)) << "ended, not waited out";
        } else {
            progress.End();
        }
        EXPECT_FALSE(progress.Loading());
        EXPECT_TRUE(PumpUntil([&] { return progress.Window() == nullptr && !progress.RecordedThread(); })) << way;
        EXPECT_EQ(WaitForSingleObject(thread.Get(), 5000), WAIT_OBJECT_0);
    }
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
