// The "Retrieving the data, please wait ..." window, shown on a thread of
// its own while the user-interface thread is busy filling a list.
#pragma once

#include "res/resource.h"

#include <windows.h>

#include <atomic>
#include <memory>

#include "platform/win32/handles.h"

namespace tw {

// What the band window and its progress threads share. Progress threads
// hold a reference of their own, so a thread that outlives the teardown
// wait never reads freed memory.
struct ProgressShared {
    std::atomic<int> loading{0};
    std::atomic<HANDLE> thread{nullptr};
    // The window while it exists, for looking at it from other threads.
    std::atomic<HWND> window{nullptr};
};

class ProgressController {
public:
    static constexpr DWORD kTeardownWaitMs = 5000;
    static constexpr DWORD kStepMs = 50;
    static constexpr int kIndicatorId = IDC_PROGRESS_INDICATOR;

    // Each progress thread holds a reference on module (by default the one
    // that holds this code) until it has ended.
    explicit ProgressController(HMODULE module = nullptr);
    ProgressController(const ProgressController&) = delete;
    ProgressController& operator=(const ProgressController&) = delete;
    ~ProgressController();  // Teardown()

    // Sets the loading flag and starts a progress thread.
    void Start();
    // Clears the flag; the thread ends within one step.
    void End();
    // Clears the flag and waits at most kTeardownWaitMs for a recorded thread.
    void Teardown();

    bool Loading() const { return shared_->loading.load(std::memory_order_acquire) != 0; }
    // The latest thread's handle as recorded; null once that thread has ended.
    HANDLE RecordedThread() const { return shared_->thread.load(std::memory_order_acquire); }
    // The progress window of the latest thread while it is shown, else null.
    HWND Window() const { return shared_->window.load(std::memory_order_acquire); }

private:
    std::shared_ptr<ProgressShared> shared_;
    // A handle of the latest thread for Teardown to wait on; each progress
    // thread holds a handle of its own and only clears the shared field.
    HMODULE module_;
    UniqueKernelHandle lastHandle_;
};

}  // namespace tw
