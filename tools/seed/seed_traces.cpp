// tidewell-seed: puts sample browsing traces into the current Windows
// profile (the URL cache, cookies, the typed-URL list and the Run history),
// so that a fresh prefix shows something in every tab.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

FILETIME DaysFromNow(int days) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ft;
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += ULONGLONG(LONGLONG(days) * 864000000000LL);
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    return ft;
}

bool Commit(const char* url, const char* extension, const std::string& body, DWORD type, int expiresInDays) {
    char file[MAX_PATH] = "";
    if (!CreateUrlCacheEntryA(url, DWORD(body.size()), extension, file, 0))
        return false;
    FILE* f = std::fopen(file, "wb");
    if (!f)
        return false;
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);
    const FILETIME expires = DaysFromNow(expiresInDays);
    const FILETIME modified = DaysFromNow(-3);
    return CommitUrlCacheEntryA(url, file, expires, modified, type, nullptr, 0, extension, nullptr) != FALSE;
}

void SetStrings(const char* path, const char* const* names, const char* const* values, int count) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (int i = 0; i < count; ++i)
        RegSetValueExA(key, names[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(values[i]),
                       DWORD(std::strlen(values[i]) + 1));
    RegCloseKey(key);
}

}  // namespace

int main() {
    struct Item {
        const char* url;
        const char* extension;
        DWORD type;
        int expires;  // days from now
    };
    const Item items[] = {
        {"http://www.example.com/index.html", "html", NORMAL_CACHE_ENTRY, 30},
        {"http://www.example.com/images/logo.png", "png", NORMAL_CACHE_ENTRY, 30},
        {"https://news.example.org/today.htm", "htm", NORMAL_CACHE_ENTRY, 1},
        {"http://cdn.example.net/app.js", "js", NORMAL_CACHE_ENTRY, 90},
        {"http://cdn.example.net/site.css", "css", NORMAL_CACHE_ENTRY, 90},
        {"http://media.example.net/theme.mp3", "mp3", NORMAL_CACHE_ENTRY, 7},
        {"http://downloads.example.com/setup.zip", "zip", NORMAL_CACHE_ENTRY, 7},
        {"http://www.example.com/photo.jpg", "jpg", NORMAL_CACHE_ENTRY, 30},
        {"Cookie:alice@example.com/", "txt", COOKIE_CACHE_ENTRY, 365},
        {"Cookie:alice@shop.example.net/cart", "txt", COOKIE_CACHE_ENTRY, -2},
        {"Cookie:alice@news.example.org/", "txt", COOKIE_CACHE_ENTRY, 30},
        {"Cookie:alice@www.example.com/account", "txt", COOKIE_CACHE_ENTRY, 30},
        {"Cookie:alice@badexample.com/", "txt", COOKIE_CACHE_ENTRY, 30},
    };
    int made = 0;
    for (const Item& item : items) {
        const std::string body = std::string("sample of ") + item.url + "\n";
        if (Commit(item.url, item.extension, body, item.type, item.expires))
            ++made;
        else
            std::fprintf(stderr, "tidewell-seed: cannot cache %s (error %lu)\n", item.url, GetLastError());
    }
    const char* const typedNames[] = {"url1", "url2", "url3"};
    const char* const typedValues[] = {"http://www.example.com/", "news.example.org", "http://shop.example.net/"};
    SetStrings("Software\\Microsoft\\Internet Explorer\\TypedURLs", typedNames, typedValues, 3);
    const char* const runNames[] = {"a", "b", "MRUList"};
    const char* const runValues[] = {"notepad\\1", "cmd\\1", "ba"};
    SetStrings("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", runNames, runValues, 3);
    std::printf("tidewell-seed: %d of %d cache items, 3 typed URLs and 2 Run entries\n", made,
                int(sizeof items / sizeof items[0]));
    return made == int(sizeof items / sizeof items[0]) ? 0 : 1;
}
