#include "ui/win32/progress_window.h"
#include "ui/win32/activation.h"

#include <cstring>
#include <vector>

#include "res/resource.h"
#include "ui/progress_indicator.h"
#include "ui/win32/gdi.h"

namespace tw {
namespace {

constexpr COLORREF kBoxFill = RGB(160, 190, 220);
constexpr COLORREF kBoxOutline = RGB(50, 90, 135);
constexpr COLORREF kCurrentFill = RGB(190, 220, 255);
constexpr COLORREF kCurrentOutline = RGB(50, 90, 135);
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
        if (dc_) {
            SelectObject(dc_, oldBitmap_);
            DeleteDC(dc_);
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
        if (!dc_) {
            dc_ = CreateCompatibleDC(target);
            bitmap_.Reset(CreateCompatibleBitmap(target, rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1));
            if (!dc_ || !bitmap_)
                return;
            oldBitmap_ = SelectObject(dc_, bitmap_.Get());
        }
        FillRect(dc_, &rc, GetSysColorBrush(COLOR_3DFACE));
        const auto boxes = ProgressIndicator::Boxes(rc.right, rc.bottom);
        GdiObject<HPEN> outline(CreatePen(PS_SOLID, 0, kBoxOutline));
        GdiObject<HPEN> currentOutline(CreatePen(PS_SOLID, 0, kCurrentOutline));
        GdiObject<HBRUSH> fill(CreateSolidBrush(kBoxFill));
        GdiObject<HBRUSH> currentFill(CreateSolidBrush(kCurrentFill));
        for (int i = 0; i < ProgressIndicator::kBoxes; ++i) {
            const bool current = i == indicator_.Position();
            SelectInto pen(dc_, current ? currentOutline.Get() : outline.Get());
            SelectInto brush(dc_, current ? currentFill.Get() : fill.Get());
            const TabRect& b = boxes[std::size_t(i)];
            Rectangle(dc_, b.left, b.top, b.right, b.bottom);
        }
        BitBlt(target, 0, 0, rc.right, rc.bottom, dc_, 0, 0, SRCCOPY);
    }

    HWND control_;
    WNDPROC original_ = nullptr;
    ProgressIndicator indicator_;
    HDC dc_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetWindowTextA(dialog, "Retrieving the data...");
        return TRUE;
    }
    return FALSE;
}

void RunProgress(ProgressShared& shared) {
    HWND dialog = nullptr;
    {
        ActivationScope scope;
        dialog = CreateDialogParamA(CodeModule(), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, &DialogProc, 0);
    }
    if (dialog) {
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
        DestroyWindow(dialog);
    }
    shared.thread.store(nullptr, std::memory_order_release);
}

// The module's reference that keeps the thread's code loaded; Teardown
// waits for the thread only so long, and the browser may unload the DLL.
HMODULE ThisModule(DWORD flags) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | flags, reinterpret_cast<LPCSTR>(&RunProgress),
                       &module);
    return module;
}

DWORD WINAPI ProgressThread(LPVOID parameter) {
    const HMODULE module = ThisModule(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT);
    {
        std::unique_ptr<std::shared_ptr<ProgressShared>> shared(
            static_cast<std::shared_ptr<ProgressShared>*>(parameter));
        RunProgress(**shared);
    }
    // The thread's own reference: held from creation, given back as it ends.
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

ProgressController::ProgressController() : shared_(std::make_shared<ProgressShared>()) {}

ProgressController::~ProgressController() { Teardown(); }

void ProgressController::Start() {
    shared_->loading.store(1, std::memory_order_release);
    auto* reference = new std::shared_ptr<ProgressShared>(shared_);
    // Taken here, before the thread can run, and released by the thread.
    const HMODULE module = ThisModule(0);
    HANDLE thread = CreateThread(nullptr, 0, &ProgressThread, reference, 0, nullptr);
    if (!thread) {
        delete reference;
        if (module)
            FreeLibrary(module);
        return;
    }
    lastHandle_.Reset(thread);
    shared_->thread.store(thread, std::memory_order_release);
}

void ProgressController::End() { shared_->loading.store(0, std::memory_order_release); }

void ProgressController::Teardown() {
    End();
    HANDLE recorded = shared_->thread.load(std::memory_order_acquire);
    if (recorded)
        WaitForSingleObject(recorded, kTeardownWaitMs);
    lastHandle_.Reset();
}

}  // namespace tw
