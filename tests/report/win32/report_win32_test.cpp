#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
// Needs the declarations of the headers above.
#include <intshcut.h>

#include <cstring>
#include <string>

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

}  // namespace
}  // namespace tw
