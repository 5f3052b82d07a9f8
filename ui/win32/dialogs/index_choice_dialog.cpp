#include "ui/win32/dialogs/index_choice_dialog.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "core/index_files.h"
#include "res/resource.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/dialog_support.h"

namespace tw {

namespace {

const int kCsidlProfile = 0x0028;

int CALLBACK StartAt(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

// The list, the column and the rows that both dialogs share.
class IndexListDialog : public DialogObject {
public:
    explicit IndexListDialog(BandWindow& band, FolderPicker& picker)
        : band_(band), picker_(picker), list_(band.Services().clock) {}

    const std::string& Chosen() const { return chosen_; }

protected:
    void MakeList() {
        RECT rc = {7, 7, 311, 113};
        MapDialogRect(hwnd, &rc);
        list_.Create(hwnd, WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, rc, IDC_INDEX_LIST);
        RECT client{};
        GetClientRect(list_.Hwnd(), &client);
        list_.InsertColumn("File", client.right - GetSystemMetrics(SM_CXVSCROLL) - 2, -1, 0);
    }

    void AddRow(const std::string& path) { list_.AddRow(path, -1); }

    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < list_.Model().RowCount(); ++i)
            rows.push_back(list_.Model().CellText(i, 0));
        return rows;
    }

    void AddUnique(const std::string& path) {
        std::vector<std::string> rows = Rows();
        if (AddUniqueRow(rows, path))
            AddRow(path);
    }

    void SelectFirst() {
        if (list_.Model().RowCount() > 0)
            list_.Select(0, 0, 0);
    }

    // The first cell of the first selected row, if any.
    void TakeSelection() {
        std::vector<int> selected;
        if (list_.Model().SelectedRows(selected) && !selected.empty())
            chosen_ = list_.Model().CellText(*std::min_element(selected.begin(), selected.end()), 0);
    }

    BandWindow& band_;
    FolderPicker& picker_;
    ListWindow list_;
    std::string chosen_;
};

class IndexChoiceDialog : public IndexListDialog {
public:
    IndexChoiceDialog(BandWindow& band, FolderPicker& picker, EntryKind store)
        : IndexListDialog(band, picker), store_(store) {}

    void OnInit() override { Open(); }

    void OnCommand(int id, int code) override {
        if (id == IDOK)
            TakeSelection();
        if (id == IDC_INDEX_BROWSE)
            Browse();
        else
            DialogObject::OnCommand(id, code);
    }

private:
    struct StoreTexts {
        const char* caption;
        const char* missing;
        const char* title;
    };

    StoreTexts Texts() const {
        switch (store_) {
        case EntryKind::Cookie:
            return {"Select Cookies index.dat file", "Default Cookie folder is not found.",
                    "Please select Cookies folder:"};
        case EntryKind::Cache:
            return {"Select Cache index.dat file", "Default Temporary Internet Files folder is not found.",
                    "Please select a folder where the Browser Cache files are located:"};
        default:
            return {"Select History index.dat file", "Default History folder is not found.",
                    "Please select a folder where the History files are located:"};
        }
    }

    void Open() {
        MakeList();
        SetWindowTextA(hwnd, Texts().caption);
        for (const std::string& path : ChoiceCandidates(band_.Services().files, store_))
            AddRow(path);
        SelectFirst();
    }

    void Browse() {
        FileSystem& files = band_.Services().files;
        std::string start;
        if (!files.SpecialFolder(StoreFolderId(store_), &start)) {
            ShowMessageBox(hwnd, Texts().missing, MB_OK);
            start.clear();
        }
        std::string folder;
        if (!picker_.Pick(hwnd, Texts().title, start, &folder))
            return;
        if (store_ == EntryKind::Cache)
            MessageBoxA(hwnd, folder.c_str(), "", MB_OK);
        const std::string path = BrowseCandidate(files, store_, folder);
        if (!path.empty())
            AddUnique(path);
    }

    EntryKind store_;
};

class IndexSearchDialog : public IndexListDialog {
public:
    using IndexListDialog::IndexListDialog;
    ~IndexSearchDialog() override { StopSearch(); }

    void OnInit() override { MakeList(); }

    void OnCommand(int id, int code) override {
        if (id == IDOK)
            TakeSelection();
        if (id == IDC_INDEX_BROWSE) {
            Browse();
        } else if (id == IDOK || id == IDCANCEL) {
            StopSearch();
            DialogObject::OnCommand(id, code);
        }
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case kWmIndexFound: {
            std::unique_ptr<std::string> path(reinterpret_cast<std::string*>(lParam));
            if (path)
                AddRow(*path);
            return TRUE;
        }
        case kWmIndexSearchDone:
            SearchEnded();
            return TRUE;
        case WM_DESTROY:
            StopSearch();
            return FALSE;
        default:
            return DialogObject::OnMessage(message, wParam, lParam);
        }
    }

private:
    void Browse() {
        if (thread_)
            return;
        std::string start;
        band_.Services().files.SpecialFolder(kCsidlProfile, &start);
        std::string folder;
        if (!picker_.Pick(hwnd, "Please select a folder to search:", start, &folder))
            return;
        SetDlgItemTextA(hwnd, IDC_INDEX_STATUS, "Searching...");
        keepGoing_ = true;
        folder_ = folder;
        target_ = hwnd;
        thread_.Reset(CreateThread(nullptr, 0, &IndexSearchDialog::Work, this, 0, nullptr));
        if (!thread_)
            SetDlgItemTextA(hwnd, IDC_INDEX_STATUS, "");
    }

    // Runs on the worker: rows and the end travel as posted messages, so
    // that only the dialog's own thread touches its list.
    static DWORD WINAPI Work(void* data) {
        IndexSearchDialog* self = static_cast<IndexSearchDialog*>(data);
        Win32FileSystem files;
        SearchIndexFiles(files, self->folder_, self->keepGoing_, [self](const std::string& path) {
            std::string* row = new std::string(path);
            if (!PostMessageA(self->target_, kWmIndexFound, 0, reinterpret_cast<LPARAM>(row)))
                delete row;
        });
        PostMessageA(self->target_, kWmIndexSearchDone, 0, 0);
        return 0;
    }

    void SearchEnded() {
        if (!thread_)
            return;
        Join();
        if (list_.Model().RowCount() == 0)
            ShowMessageBox(hwnd, "Selected folder does not contain index.dat files", MB_OK | MB_ICONEXCLAMATION);
        InvalidateRect(hwnd, nullptr, TRUE);
        SetDlgItemTextA(hwnd, IDC_INDEX_STATUS, "");
    }

    void Join() {
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }

    // Stops the worker and waits for its end, then drops what it posted
    // and the dialog has not taken yet.
    void StopSearch() {
        if (!thread_)
            return;
        keepGoing_ = false;
        Join();
        MSG msg;
        while (target_ && PeekMessageA(&msg, target_, kWmIndexFound, kWmIndexSearchDone, PM_REMOVE)) {
            if (msg.message == kWmIndexFound)
                delete reinterpret_cast<std::string*>(msg.lParam);
        }
    }

    UniqueKernelHandle thread_;
    std::atomic<bool> keepGoing_{true};
    std::string folder_;
    HWND target_ = nullptr;
};

}  // namespace

bool ShellFolderPicker::Pick(HWND owner, const char* title, const std::string& start, std::string* folder) {
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &StartAt;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
    if (!item)
        return false;
    char path[MAX_PATH] = "";
    const bool ok = SHGetPathFromIDListA(item, path) != FALSE;
    CoTaskMemFree(item);
    if (ok)
        *folder = path;
    return ok;
}

bool RunIndexChoiceDialog(BandWindow& band, EntryKind store, FolderPicker& picker, std::string* path) {
    IndexChoiceDialog dialog(band, picker, store);
    if (RunBandDialog(band, IDD_INDEX_CHOICE, dialog) != IDOK || dialog.Chosen().empty())
        return false;
    *path = dialog.Chosen();
    return true;
}

bool RunIndexSearchDialog(BandWindow& band, FolderPicker& picker, std::string* path) {
    IndexSearchDialog dialog(band, picker);
    if (RunBandDialog(band, IDD_INDEX_SEARCH, dialog) != IDOK || dialog.Chosen().empty())
        return false;
    *path = dialog.Chosen();
    return true;
}

}  // namespace tw
