#include "ui/win32/controls/progress_window.h"
#include "ui/win32/window/activation.h"

#include <cstring>
#include <vector>

#include "res/resource.h"
#include "ui/dpi_scale.h"
#include "ui/progress_indicator.h"
#include "ui/win32/window/dpi.h"
#include "ui/win32/window/system_palette.h"
#include "platform/win32/handles.h"
#include "res/resource.h"
#include "ui/win32/gdi.h"

namespace tw {
namespace {

constexpr const char* kIndicatorProp = "TwProgressIndicator";

// The indicator painted over control 319, with its off-screen image kept
// from the first paint on.
class IndicatorControl {
public:
    IndicatorControl(HWND control) : control_(control) {
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IndicatorControl::Proc)));
        SetPropA(control, kIndicatorProp, this);
    }
    IndicatorControl(const IndicatorControl&) = delete;
    IndicatorControl& operator=(const IndicatorControl&) = delete;
    ~IndicatorControl() {
        if (IsWindow(control_)) {
            RemovePropA(control_, kIndicatorProp);
            SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        }
    }

    void Advance() {
        indicator_.Advance();
        UpdateWindow(control_);
        InvalidateRect(control_, nullptr, TRUE);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = static_cast<IndicatorControl*>(GetPropA(hwnd, kIndicatorProp));
        if (!self)
            return DefWindowProcA(hwnd, msg, wp, lp);
        if (msg == WM_PAINT) {
            PaintScope paint(hwnd);
            self->Paint(paint.Dc());
            return 0;
        }
        if (msg == WM_ERASEBKGND)
            return 1;
        return CallWindowProcA(self->original_, hwnd, msg, wp, lp);
    }

    void Paint(HDC target) {
        RECT rc{};
        GetClientRect(control_, &rc);
        if (!image_)
            image_.reset(new OffscreenBuffer(target, rc.right, rc.bottom));
        if (!image_->Ok())
            return;
        const HDC dc_ = image_->Dc();
        const Palette palette = CurrentPalette();
        FillSolid(dc_, rc, Ref(palette.progressBack));
        const int dpi = WindowDpi(control_);
        const auto boxes = ProgressIndicator::Boxes(rc.right, rc.bottom, dpi);
        // Width 0 draws one pixel whatever the DPI.
        const int penWidth = dpi > kBaseDpi ? ScaleToDpi(1, dpi) : 0;
        GdiObject<HPEN> outline(CreatePen(PS_SOLID, penWidth, Ref(palette.boxOutline)));
        GdiObject<HPEN> currentOutline(CreatePen(PS_SOLID, penWidth, Ref(palette.currentBoxOutline)));
        GdiObject<HBRUSH> fill(CreateSolidBrush(Ref(palette.boxFill)));
        GdiObject<HBRUSH> currentFill(CreateSolidBrush(Ref(palette.currentBoxFill)));
        for (int i = 0; i < ProgressIndicator::kBoxes; ++i) {
            const bool current = i == indicator_.Position();
            SelectInto pen(dc_, current ? currentOutline.Get() : outline.Get());
            SelectInto brush(dc_, current ? currentFill.Get() : fill.Get());
            const TabRect& b = boxes[std::size_t(i)];
            Rectangle(dc_, b.left, b.top, b.right, b.bottom);
        }
        image_->Blit(target, 0, 0, rc.right, rc.bottom);
    }

    HWND control_;
    WNDPROC original_ = nullptr;
    ProgressIndicator indicator_;
    std::unique_ptr<OffscreenBuffer> image_;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetWindowTextA(dialog, "Retrieving the data...");
        return TRUE;
    }
    return FALSE;
}

void RunProgress(ProgressShared& shared, HANDLE self) {
    UniqueWindow owned;
    {
        ActivationScope scope;
        owned.Reset(CreateDialogParamA(CodeModule(), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, &DialogProc, 0));
    }
    if (const HWND dialog = owned.Get()) {
        {
            IndicatorControl indicator(GetDlgItem(dialog, ProgressController::kIndicatorId));
            // Shown without taking the activation from the browser (which
            // would make this thread wait on the busy one), and painted at
            // least once however short the load.
            SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            UpdateWindow(dialog);
            shared.window.store(dialog, std::memory_order_release);
            while (shared.loading.load(std::memory_order_acquire) == 1) {
                indicator.Advance();
                Sleep(ProgressController::kStepMs);
            }
        }
        HWND expected = dialog;
        shared.window.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
    }
    owned.Reset();
    // A later load may have recorded its own thread meanwhile; that record
    // is the one Teardown must wait for, so it stays.
    HANDLE expected = self;
    shared.thread.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
}

// What a progress thread is given: its share of the state and the
// reference on the module that keeps the code it runs loaded.
struct ThreadStart {
    std::shared_ptr<ProgressShared> shared;
    HMODULE module;
    // The thread's own handle, open for as long as the thread may compare
    // it with the record: no later thread can be given the same value.
    UniqueKernelHandle self;
};

DWORD WINAPI ProgressThread(LPVOID parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        module = start->module;
        RunProgress(*start->shared, start->self.Get());
    }
    // The module may be released by everyone else meanwhile: its last
    // reference goes with the thread's end, not before.
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

ProgressController::ProgressController(HMODULE module)
    : shared_(std::make_shared<ProgressShared>()), module_(module ? module : CodeModule()) {}

ProgressController::~ProgressController() { Teardown(); }

void ProgressController::Start() {
    shared_->loading.store(1, std::memory_order_release);
    UniqueLibrary pinned;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(module_),
                            pinned.Receive()))
        return;
    std::unique_ptr<ThreadStart> start(new ThreadStart{shared_, pinned.Get(), UniqueKernelHandle()});
    // Suspended until it has its handle and its record.
    start->self.Reset(CreateThread(nullptr, 0, &ProgressThread, start.get(), CREATE_SUSPENDED, nullptr));
    const HANDLE self = start->self.Get();
    if (!self)
        return;
    const HANDLE process = GetCurrentProcess();
    UniqueKernelHandle waitable;
    if (DuplicateHandle(process, self, process, waitable.Receive(), SYNCHRONIZE, FALSE, 0)) {
        shared_->thread.store(self, std::memory_order_release);
        lastHandle_ = std::move(waitable);
    }
    // The thread owns the start, its handle and the module reference now.
    start.release();
    pinned.Detach();
    ResumeThread(self);
}

void ProgressController::End() { shared_->loading.store(0, std::memory_order_release); }

void ProgressController::Teardown() {
    End();
    // Only the latest thread records itself, and lastHandle_ is its own.
    if (RecordedThread() && lastHandle_)
        WaitForSingleObject(lastHandle_.Get(), kTeardownWaitMs);
    lastHandle_.Reset();
}

}  // namespace tw
