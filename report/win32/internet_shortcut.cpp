#include "report/win32/internet_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <propidl.h>
#include <shlobj.h>
// Needs the declarations of the headers above.
#include <intshcut.h>
#include <isguids.h>

#include <cstdio>

#include "platform/win32/com_ptr.h"
#include "platform/win32/thread_apartment.h"

namespace tw {

namespace {

// The property set of Internet shortcuts and its icon properties.
const FMTID kFmtidIntshcut = {0x000214A0, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const PROPID kPidIconIndex = 8;
const PROPID kPidIconFile = 9;

// Empty when the text does not convert whole: a path cut short here would
// be written under a name the user never gave.
std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::wstring wide(std::size_t(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n) != n)
        return std::wstring();
    wide.resize(std::size_t(n - 1));
    return wide;
}

// Without IShellLinkA (as under Wine) the object still takes its icon as
// two properties of its own property set.
bool SetIconProperties(IUnknown* object, const std::string& iconFile) {
    ComPtr<IPropertySetStorage> sets;
    if (FAILED(object->QueryInterface(IID_IPropertySetStorage, sets.ReceiveVoid())))
        return false;
    ComPtr<IPropertyStorage> storage;
    if (FAILED(sets->Open(kFmtidIntshcut, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, storage.Receive())))
        return false;
    std::wstring wide = Wide(iconFile);
    if (wide.empty())
        return false;
    PROPSPEC specs[2] = {};
    specs[0].ulKind = specs[1].ulKind = PRSPEC_PROPID;
    specs[0].propid = kPidIconFile;
    specs[1].propid = kPidIconIndex;
    PROPVARIANT values[2] = {};
    values[0].vt = VT_LPWSTR;
    values[0].pwszVal = &wide[0];
    values[1].vt = VT_I4;
    values[1].lVal = 0;
    return SUCCEEDED(storage->WriteMultiple(2, specs, values, 0)) && SUCCEEDED(storage->Commit(STGC_DEFAULT));
}

bool WriteFileText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool WriteThroughShortcutObject(IUnknown* object, const std::string& path, const std::string& url,
                                const std::string& iconFile, const std::string& description, bool* iconLost) {
    ComPtr<IUniformResourceLocatorA> locator;
    if (!object || FAILED(object->QueryInterface(IID_IUniformResourceLocatorA, locator.ReceiveVoid())))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(locator->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return false;
    ComPtr<IShellLinkA> link;
    locator->QueryInterface(IID_IShellLinkA, link.ReceiveVoid());
    // Windows puts a scheme in front of an address typed without one
    // ("www.example.com" becomes an http address) and refuses one it cannot
    // read; Wine ignores the flag and takes any text.
    if (FAILED(locator->SetURL(url.c_str(), IURL_SETURL_FL_GUESS_PROTOCOL)))
        return false;
    if (!iconFile.empty()) {
        if (link) {
            if (FAILED(link->SetIconLocation(iconFile.c_str(), 0)))
                return false;
        } else if (!SetIconProperties(locator.Get(), iconFile)) {
            *iconLost = true;
        }
    }
    if (link && FAILED(link->SetDescription(description.c_str())))
        return false;
    const std::wstring target = Wide(path);
    return target.size() < MAX_PATH && SUCCEEDED(file->Save(target.c_str(), TRUE));
}

std::string InternetShortcutFileText(const std::string& url, const std::string& iconFile) {
    std::string text = "[InternetShortcut]\r\nURL=" + url + "\r\n";
    if (!iconFile.empty())
        text += "IconFile=" + iconFile + "\r\nIconIndex=0\r\n";
    return text;
}

bool Win32InternetShortcutWriter::Write(const std::string& path, const std::string& url,
                                        const std::string& iconFile, const std::string& description) {
    bool iconLost = false;
    bool ok = false;
    {
        ThreadApartment com;
        ComPtr<IUnknown> shortcut;
        if (SUCCEEDED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       shortcut.ReceiveVoid())))
            ok = WriteThroughShortcutObject(shortcut.Get(), path, url, iconFile, description, &iconLost);
    }
    if (ok && iconLost)
        ok = WriteFileText(path, InternetShortcutFileText(url, iconFile));
    return ok;
}

}  // namespace tw
