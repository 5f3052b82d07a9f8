#include "ui/win32/dialogs/dialog_support.h"

#include <vector>

#include "core/ansi_text.h"
#include "settings/settings_store.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/band/band_window.h"

namespace tw {

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogObject* object = nullptr;
    if (message == WM_INITDIALOG) {
        object = reinterpret_cast<DialogObject*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (object)
            object->hwnd = dialog;
    } else {
        object = reinterpret_cast<DialogObject*>(GetWindowLongPtrA(dialog, DWLP_USER));
    }
    if (!object)
        return FALSE;
    if (object->watchesBand && object->bandLife.expired()) {
        EndDialog(dialog, -1);
        return message == WM_INITDIALOG ? FALSE : TRUE;
    }
    const INT_PTR result = object->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        object->hwnd = nullptr;
    }
    return result;
}

}  // namespace

INT_PTR DialogObject::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void DialogObject::OnCommand(int id, int) {
    if (id == IDOK || id == IDCANCEL)
        EndDialog(hwnd, id == IDOK ? 1 : 2);
}

INT_PTR RunBandDialog(BandWindow& band, int id, DialogObject& object) {
    object.bandLife = band.Life();
    object.watchesBand = true;
    const std::weak_ptr<void> life = band.Life();
    const INT_PTR result = RunModalDialog(band.Module(), id, object);
    return life.expired() ? -1 : result;
}

INT_PTR RunModalDialog(HINSTANCE module, int id, DialogObject& object) {
    ActivationScope scope;
    if (object.wide)
        return DialogBoxParamW(module, MAKEINTRESOURCEW(id), GetActiveWindow(), &DialogProc,
                               reinterpret_cast<LPARAM>(&object));
    return DialogBoxParamA(module, MAKEINTRESOURCEA(id), GetActiveWindow(), &DialogProc,
                           reinterpret_cast<LPARAM>(&object));
}

std::string ItemText(HWND dialog, int id, int most) {
    std::vector<char> buffer(std::size_t(most) + 1, '\0');
    const UINT length = GetDlgItemTextA(dialog, id, buffer.data(), most + 1);
    return std::string(buffer.data(), length <= UINT(most) ? length : UINT(most));
}

bool ExactItemText(HWND dialog, int id, int most, std::string* text) {
    std::vector<wchar_t> buffer(std::size_t(most) + 1, L'\0');
    const UINT length = GetDlgItemTextW(dialog, id, buffer.data(), most + 1);
    const std::u16string typed(reinterpret_cast<const char16_t*>(buffer.data()), length <= UINT(most) ? length : UINT(most));
    if (ActiveCodePage().FromUtf16Exactly(typed, text))
        return true;
    ShowMessageBox(dialog,
                   "The text holds characters that this system's code page cannot hold exactly (such as full-width "
                   "or foreign letters), so it cannot be matched as typed. Please type it in other letters.",
                   MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(dialog, id));
    return false;
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int ShowMessageBox(HWND owner, const char* text, UINT flags) {
    return MessageBoxA(owner, text, "Tidewell", flags);
}

bool BandUsesNewSystem(BandWindow& band) {
    const int major = band.Services().shell.MajorVersion();
    return IsNewSystem(major > 0, major);
}

}  // namespace tw
