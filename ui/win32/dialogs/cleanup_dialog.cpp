#include "ui/win32/dialogs/cleanup_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "clean/cleanup_dialog_model.h"
#include "clean/cookie_keep.h"
#include "clean/find.h"
#include "clean/index_removal.h"
#include "res/resource.h"
#include "settings/options_model.h"
#include "settings/settings_store.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/cookie_keep_dialog.h"
#include "ui/win32/dialogs/dialog_support.h"

namespace tw {

namespace {

FileTime UtcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    FileTime t;
    t.low = ft.dwLowDateTime;
    t.high = ft.dwHighDateTime;
    return t;
}

PickedDay PickerDay(HWND dialog, int id) {
    PickedDay day;
    SYSTEMTIME st{};
    HWND picker = GetDlgItem(dialog, id);
    if (picker && SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID) {
        day.valid = true;
        day.date = CivilDate{st.wYear, st.wMonth, st.wDay};
    }
    return day;
}

bool Clicked(int id, int code, int button) { return id == button && code == BN_CLICKED; }

class CleanupDialog : public DialogObject {
public:
    CleanupDialog(BandWindow& band, const CleanupDialogInfo& info) : band_(band), info_(info) { wide = true; }

private:
    void OnCommand(int id, int code) override {
        if (Clicked(id, code, IDOK))
            CleanUp();
        else if (Clicked(id, code, IDC_CLEAN_PREVIEW))
            Send(kWmPreviewCleanup);
        else if (Clicked(id, code, IDC_CLEAN_KEEP_SITES))
            SetChecked(hwnd, IDC_CLEAN_KEEP_COOKIES, RunCookieKeepDialog(band_));
        else if (id == IDCANCEL)
            EndDialog(hwnd, IDCANCEL);
    }

    void OnInit() override {
        SetChecked(hwnd, info_.options[0].id, true);
        if (info_.comboId) {
            for (const char* protocol : kCleanupProtocols)
                SendDlgItemMessageA(hwnd, info_.comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(protocol));
            SendDlgItemMessageA(hwnd, info_.comboId, CB_SETCURSEL, 0, 0);
        }
        confirm_ = ReadConfirmDeletions(band_.Services().registry, BandUsesNewSystem(band_));
        if (info_.store == kStoreCookies)
            SetChecked(hwnd, IDC_CLEAN_KEEP_COOKIES,
                       LoadCookieKeep(band_.Services().registry, BandUsesNewSystem(band_)).KeepsAny());
    }

    void CleanUp() {
        CleanupCriteria criteria;
        if (!Read(&criteria))
            return;
        if (confirm_ && ShowMessageBox(hwnd, info_.confirmation, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        Deliver(kWmRunCleanup, criteria);
    }

    // A preview deletes nothing, so nothing is asked before it.
    void Send(UINT message) {
        CleanupCriteria criteria;
        if (Read(&criteria))
            Deliver(message, criteria);
    }

    // False when the text to match cannot be matched as typed; the user has
    // been told.
    bool Read(CleanupCriteria* criteria) {
        const std::int32_t kind = CleanupKindOf(info_, [this](int id) { return IsChecked(hwnd, id); });
        // A protocol is matched as a text too, so a typed one is checked.
        std::string combo;
        if (kind != kCleanSelectedProtocol)
            combo = info_.comboId ? ItemText(hwnd, info_.comboId, 259) : std::string();
        else if (!ExactItemText(hwnd, info_.comboId, 259, &combo))
            return false;
        // Only "Containing the text in URL" matches the box's text; the
        // other options leave it unused, whatever it holds.
        std::string box;
        if (kind != kCleanContainingText)
            box = ItemText(hwnd, info_.textId, 259);
        else if (!ExactItemText(hwnd, info_.textId, 259, &box))
            return false;
        *criteria = BuildCleanupCriteria(info_, kind, combo, box, PickerDay(hwnd, info_.fromId),
                                         PickerDay(hwnd, info_.toId), UtcNow());
        return true;
    }

    void Deliver(UINT message, CleanupCriteria& criteria) {
        // The band window runs it; the owner of a modal dialog is always a
        // top-level window, never the band itself.
        const bool keepListed = info_.store != kStoreCookies || IsChecked(hwnd, IDC_CLEAN_KEEP_COOKIES);
        if (HWND target = band_.Hwnd())
            SendMessageA(target, message, keepListed ? 0 : kRunCleanupIgnoringKeepList,
                         reinterpret_cast<LPARAM>(&criteria));
    }

    BandWindow& band_;
    const CleanupDialogInfo& info_;
    bool confirm_ = true;
};

class OptionsDialog : public DialogObject {
public:
    explicit OptionsDialog(BandWindow& band) : band_(band) {}

private:
    void OnCommand(int id, int code) override {
        switch (id) {
        case IDC_OPTIONS_TEMPLATE:
        case IDC_OPTIONS_SEPARATOR:
            if (code == CBN_SELCHANGE)
                ShowSample();
            break;
        case IDOK:
            SaveOptions(band_.Services().registry, BandUsesNewSystem(band_), Current());
            EndDialog(hwnd, IDOK);
            break;
        case IDCANCEL:
            EndDialog(hwnd, IDCANCEL);
            break;
        default:
            break;
        }
    }

    void OnInit() override {
        for (const char* t : kDateTemplates)
            SendDlgItemMessageA(hwnd, IDC_OPTIONS_TEMPLATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
        for (const char* s : kDateSeparators)
            SendDlgItemMessageA(hwnd, IDC_OPTIONS_SEPARATOR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        const OptionsState state = LoadOptions(band_.Services().registry, BandUsesNewSystem(band_));
        SendDlgItemMessageA(hwnd, IDC_OPTIONS_TEMPLATE, CB_SETCURSEL, WPARAM(state.templateIndex), 0);
        SendDlgItemMessageA(hwnd, IDC_OPTIONS_SEPARATOR, CB_SETCURSEL, WPARAM(state.separatorIndex), 0);
        SetChecked(hwnd, IDC_OPTIONS_DISABLE, state.disableConfirmation);
        ShowSample();
    }

    int Selection(int id, int count) const {
        const LRESULT i = SendDlgItemMessageA(hwnd, id, CB_GETCURSEL, 0, 0);
        return i >= 0 && i < count ? int(i) : 0;
    }

    OptionsState Current() const {
        OptionsState state;
        state.templateIndex = Selection(IDC_OPTIONS_TEMPLATE, 8);
        state.separatorIndex = Selection(IDC_OPTIONS_SEPARATOR, 3);
        state.disableConfirmation = IsChecked(hwnd, IDC_OPTIONS_DISABLE);
        return state;
    }

    void ShowSample() {
        SYSTEMTIME now;
        GetSystemTime(&now);
        const std::string sample = OptionsSample(Current(), CivilDate{now.wYear, now.wMonth, now.wDay});
        SetDlgItemTextA(hwnd, IDC_OPTIONS_SAMPLE, sample.c_str());
    }

    BandWindow& band_;
};

class FindDialog : public DialogObject {
public:
    explicit FindDialog(BandWindow& band) : band_(band) { wide = true; }

private:
    void OnCommand(int id, int code) override {
        if (Clicked(id, code, IDOK) || Clicked(id, code, IDC_FIND_NEXT))
            Find(false);
        else if (Clicked(id, code, IDC_FIND_ALL))
            Find(true);
        else if (id == IDCANCEL)
            Close();
    }

    void OnInit() override {
        // The request carries at most 99 characters; the box takes no more.
        SendDlgItemMessageA(hwnd, IDC_FIND_TEXT, EM_LIMITTEXT, sizeof(FindRequest::text) - 1, 0);
        FindSettings settings;
        LoadFindSettings(band_.Services().registry, BandUsesNewSystem(band_), &settings);
        SetChecked(hwnd, IDC_FIND_WHOLE, settings.whole);
        SetChecked(hwnd, IDC_FIND_CASE, settings.matchCase);
        SetChecked(hwnd, IDC_FIND_NAMES, settings.names);
        SetChecked(hwnd, IDC_FIND_VALUES, settings.values);
        SetDlgItemTextA(hwnd, IDC_FIND_TEXT, settings.lastSearch.c_str());
    }

    void Find(bool all) {
        if (!IsChecked(hwnd, IDC_FIND_NAMES) && !IsChecked(hwnd, IDC_FIND_VALUES))
            SetChecked(hwnd, IDC_FIND_NAMES, true);
        std::string text;
        if (!ExactItemText(hwnd, IDC_FIND_TEXT, 259, &text))
            return;
        if (text.empty()) {
            ShowMessageBox(hwnd, "Please enter text to search.", MB_OK);
            SetFocus(GetDlgItem(hwnd, IDC_FIND_TEXT));
            return;
        }
        FindRequest request;
        request.wholeWord = IsChecked(hwnd, IDC_FIND_WHOLE);
        request.matchCase = IsChecked(hwnd, IDC_FIND_CASE);
        request.searchNames = IsChecked(hwnd, IDC_FIND_NAMES);
        request.searchValues = IsChecked(hwnd, IDC_FIND_VALUES);
        request.findAll = all ? 1 : 0;
        CopyField(request.text, sizeof request.text, text.c_str());
        if (HWND target = band_.Hwnd())
            SendMessageA(target, kWmFindOnTab, 0, reinterpret_cast<LPARAM>(&request));
    }

    void Close() {
        FindSettings settings;
        settings.whole = IsChecked(hwnd, IDC_FIND_WHOLE);
        settings.matchCase = IsChecked(hwnd, IDC_FIND_CASE);
        settings.names = IsChecked(hwnd, IDC_FIND_NAMES);
        settings.values = IsChecked(hwnd, IDC_FIND_VALUES);
        settings.lastSearch = ItemText(hwnd, IDC_FIND_TEXT, 259);
        SaveFindSettings(band_.Services().registry, BandUsesNewSystem(band_), settings);
        EndDialog(hwnd, IDCANCEL);
    }

    BandWindow& band_;
};

class IndexRemovalDialog : public DialogObject {
public:
    explicit IndexRemovalDialog(BandWindow& band) : band_(band) {}

    void OnInit() override {
        BandServices& s = band_.Services();
        const IndexMarks marks = ReadIndexMarks(s.registry, s.files, s.shell);
        SetChecked(hwnd, IDC_REMOVE_HISTORY_INDEX, marks.history);
        SetChecked(hwnd, IDC_REMOVE_COOKIE_INDEX, marks.cookies);
        SetChecked(hwnd, IDC_REMOVE_CACHE_INDEX, marks.cache);
    }

    void OnCommand(int id, int code) override {
        if (id == IDOK) {
            BandServices& s = band_.Services();
            IndexMarks marks;
            marks.history = IsChecked(hwnd, IDC_REMOVE_HISTORY_INDEX);
            marks.cookies = IsChecked(hwnd, IDC_REMOVE_COOKIE_INDEX);
            marks.cache = IsChecked(hwnd, IDC_REMOVE_CACHE_INDEX);
            // The consent prompt and what was not done belong to the dialog,
            // which stays open after a failure that it tells.
            const Win32Shell::OwnerScope owner(s.shell, hwnd);
            if (!SaveIndexMarks(marks, s.registry, s.files, s.shell, s.rights))
                return;
        }
        DialogObject::OnCommand(id, code);
    }

private:
    BandWindow& band_;
};

}  // namespace

void RunCleanupDialog(BandWindow& band, std::int32_t store) {
    const CleanupDialogInfo* info = CleanupDialogFor(store);
    if (!info)
        return;
    CleanupDialog dialog(band, *info);
    RunBandDialog(band, info->dialogId, dialog);
}

void RunOptionsDialog(BandWindow& band) {
    OptionsDialog dialog(band);
    if (RunBandDialog(band, IDD_OPTIONS, dialog) == IDOK)
        band.ReloadSettings();
}

void RunFindDialog(BandWindow& band) {
    FindDialog dialog(band);
    RunBandDialog(band, IDD_FIND, dialog);
}

void RunIndexRemovalDialog(BandWindow& band) {
    IndexRemovalDialog dialog(band);
    RunBandDialog(band, IDD_INDEX_REMOVAL, dialog);
}

}  // namespace tw
