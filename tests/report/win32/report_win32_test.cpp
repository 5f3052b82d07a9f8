#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
// Needs the declarations of the headers above.
#include <intshcut.h>

#include <cstring>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_shell.h"
#include "report/win32/file_dialog_win32.h"
#include "report/win32/internet_shortcut.h"

namespace tw {
namespace {

// The shell's Internet shortcut object as Windows documents it: an address
// without a scheme gets one only when asked to guess it, and an address it
// cannot read is refused; so may an icon be. Wine's own object ignores the
// flag and takes any text.
class DocumentedShortcut : public IUniformResourceLocatorA, public IPersistFile, public IShellLinkA {
public:
    std::string url, icon, description, saved;
    DWORD flags = 0xFFFFFFFF;
    bool refuseIcon = false;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IUniformResourceLocatorA)
            *out = static_cast<IUniformResourceLocatorA*>(this);
        else if (iid == IID_IPersistFile)
            *out = static_cast<IPersistFile*>(this);
        else if (iid == IID_IShellLinkA)
            *out = static_cast<IShellLinkA*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }

    STDMETHODIMP SetURL(LPCSTR text, DWORD inFlags) override {
        flags = inFlags;
        const std::string t = text ? text : "";
        if (t.empty() || t.find(' ') != std::string::npos)
            return URL_E_INVALID_SYNTAX;
        if (t.find(':') == std::string::npos) {
            if (!(inFlags & (IURL_SETURL_FL_GUESS_PROTOCOL | IURL_SETURL_FL_USE_DEFAULT_PROTOCOL)))
                return URL_E_UNREGISTERED_PROTOCOL;
            url = (t.compare(0, 4, "ftp.") == 0 ? "ftp://" : "http://") + t;
            return S_OK;
        }
        url = t;
        return S_OK;
    }
    STDMETHODIMP GetURL(LPSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP InvokeCommand(PURLINVOKECOMMANDINFOA) override { return E_NOTIMPL; }

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_OK; }
    STDMETHODIMP Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Save(LPCOLESTR path, BOOL) override {
        saved = path ? "saved" : "";
        return S_OK;
    }
    STDMETHODIMP SaveCompleted(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

    STDMETHODIMP GetPath(LPSTR, int, WIN32_FIND_DATAA*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
    STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    STDMETHODIMP GetDescription(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetDescription(LPCSTR text) override {
        description = text;
        return S_OK;
    }
    STDMETHODIMP GetWorkingDirectory(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetWorkingDirectory(LPCSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetArguments(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetArguments(LPCSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetHotkey(WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetHotkey(WORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetShowCmd(int*) override { return E_NOTIMPL; }
    STDMETHODIMP SetShowCmd(int) override { return E_NOTIMPL; }
    STDMETHODIMP GetIconLocation(LPSTR, int, int*) override { return E_NOTIMPL; }
    STDMETHODIMP SetIconLocation(LPCSTR path, int index) override {
        if (refuseIcon)
            return E_INVALIDARG;
        icon = std::string(path) + "," + std::to_string(index);
        return S_OK;
    }
    STDMETHODIMP SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Resolve(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPath(LPCSTR) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 1;
};

// An address typed without its scheme becomes a working shortcut; one the
// object refuses, or an icon it refuses, writes nothing and is told as a
// failure, never as a favorite added.
TEST(InternetShortcut, TheSchemeIsGuessedAndEveryRefusalFailsTheWrite) {
    struct Case {
        const char *url, *icon;
        bool refuseIcon;
        bool written;
        const char* shown;  // the address and icon the shortcut carries
    } cases[] = {
        {"www.example.com", "", false, true, "http://www.example.com|"},
        {"ftp.example.com", "C:\\i.ico", false, true, "ftp://ftp.example.com|C:\\i.ico,0"},
        {"https://x.example/", "", false, true, "https://x.example/|"},
        {"not an address", "", false, false, "|"},
        {"http://x.example/", "C:\\i.ico", true, false, "http://x.example/|"},
    };
    for (const Case& c : cases) {
        DocumentedShortcut shortcut;
        shortcut.refuseIcon = c.refuseIcon;
        bool iconLost = false;
        const bool written = WriteThroughShortcutObject(static_cast<IUniformResourceLocatorA*>(&shortcut),
                                                        "C:\\Fav\\x.url", c.url, c.icon, "x", &iconLost);
        EXPECT_EQ(written, c.written) << c.url;
        EXPECT_EQ(shortcut.flags, DWORD(IURL_SETURL_FL_GUESS_PROTOCOL)) << c.url;
        EXPECT_EQ(shortcut.url + "|" + shortcut.icon, c.shown) << c.url;
        EXPECT_EQ(shortcut.saved, c.written ? "saved" : "") << c.url;
        EXPECT_FALSE(iconLost);
    }
}

// ExpandEnvironmentStringsA as documented: the ANSI form needs room for the
// text, its terminator and one more character; a smaller buffer gets the
// size the text needs, and nothing in it.
DWORD WINAPI DocumentedExpand(LPCSTR source, LPSTR buffer, DWORD size) {
    std::string text = source;
    const std::string variable = "%FAVORITES%";
    const std::size_t at = text.find(variable);
    if (at != std::string::npos)
        text.replace(at, variable.size(), "C:\\Users\\Bob\\Favorites");
    const DWORD needed = DWORD(text.size() + 1);
    if (!buffer || size < needed + 1)
        return needed;
    std::memcpy(buffer, text.c_str(), needed);
    return needed;
}

TEST(ExpandEnvironment, GivesTheAnsiFormTheRoomItAsksFor) {
    EXPECT_EQ(ExpandEnvironmentWith(DocumentedExpand, "%FAVORITES%\\x"), "C:\\Users\\Bob\\Favorites\\x");
    EXPECT_EQ(ExpandEnvironmentWith(DocumentedExpand, "plain"), "plain");
    // And the system's own, with a variable of the test's.
    ASSERT_TRUE(SetEnvironmentVariableA("TW_EXPAND_TEST", "value"));
    EXPECT_EQ(Win32Shell().ExpandEnvironment("a %TW_EXPAND_TEST% b"), "a value b");
}

// Folders of the test's own: the one it starts in, and the one a dialog picks from.
class CurrentFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        start_ = std::string(temp) + "tw-dialog-start";
        picked_ = std::string(temp) + "tw-dialog-picked";
        CreateDirectoryA(start_.c_str(), nullptr);
        CreateDirectoryA(picked_.c_str(), nullptr);
        file_ = picked_ + "\\pick.dat";
        ASSERT_TRUE(UniqueFile(CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
        char before[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, before);
        before_ = before;
        ASSERT_TRUE(SetCurrentDirectoryA(start_.c_str()));
        file = file_;
    }
    void TearDown() override {
        SetCurrentDirectoryA(before_.c_str());
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(picked_.c_str());
        RemoveDirectoryA(start_.c_str());
    }
    static std::string Current() {
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, folder);
        return folder;
    }
    std::string start_, picked_, file_, before_;

public:
    // The file that the dialogs choose.
    static std::string file;
};
std::string CurrentFolder::file;

// The dialogs as Windows documents them: each moves the current folder to
// the chosen file's, and only the Save dialog keeps it with OFN_NOCHANGEDIR.
BOOL WINAPI DocumentedChoice(LPOPENFILENAMEA ofn, bool save) {
    std::strncpy(ofn->lpstrFile, CurrentFolder::file.c_str(), ofn->nMaxFile - 1);
    if (!save || !(ofn->Flags & OFN_NOCHANGEDIR)) {
        const std::string folder = CurrentFolder::file.substr(0, CurrentFolder::file.find_last_of('\\'));
        SetCurrentDirectoryA(folder.c_str());
    }
    return TRUE;
}
BOOL WINAPI DocumentedOpen(LPOPENFILENAMEA ofn) { return DocumentedChoice(ofn, false); }
BOOL WINAPI DocumentedSave(LPOPENFILENAMEA ofn) { return DocumentedChoice(ofn, true); }

TEST_F(CurrentFolder, TheDialogsPutItBackWhateverThePlatformDoes) {
    for (bool save : {false, true}) {
        FileDialogRequest request = IndexFileDialogRequest(nullptr);
        request.save = save;
        std::string path;
        EXPECT_TRUE(Win32FileDialogs(DocumentedOpen, DocumentedSave).Run(request, &path));
        EXPECT_EQ(path, file_);
        EXPECT_EQ(Current(), start_) << save;
    }
}

// The platform's own Open dialog, given a file of another folder and OK.
void CALLBACK ChooseInDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    for (HWND d = FindWindowExA(nullptr, nullptr, "#32770", nullptr); d; d = FindWindowExA(nullptr, d, "#32770", nullptr)) {
        if (GetWindowThreadProcessId(d, nullptr) != GetCurrentThreadId() || !IsWindowVisible(d))
            continue;
        KillTimer(nullptr, timer);
        // The name box, wherever this system's template puts it.
        for (int id : {0x47C, 0x480}) {
            if (GetDlgItem(d, id))
                SetDlgItemTextA(d, id, CurrentFolder::file.c_str());
        }
        PostMessageA(d, WM_COMMAND, IDOK, 0);
        return;
    }
}

TEST_F(CurrentFolder, AnOpenDialogLeavesItWhereItWas) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, ChooseInDialog);
    ASSERT_NE(timer, 0u);
    std::string path;
    EXPECT_TRUE(Win32FileDialogs().Run(IndexFileDialogRequest(nullptr), &path));
    KillTimer(nullptr, timer);
    EXPECT_EQ(path, file_);
    EXPECT_EQ(Current(), start_);
}

}  // namespace
}  // namespace tw
