// tidewell-clean.exe, and tidewell-cleanw.exe built from the same source
// without a console of its own: the cleaner over the stores of the Windows
// user who runs it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win_errors.h"
#include "report/win32/internet_shortcut.h"
#include "settings/settings_store.h"
#include "tools/clean/clean_tool.h"

namespace {

// Texts of the active ANSI code page, which is how the stores and the band
// hand them over, as UTF-8.
class ActiveCodePageUtf8 : public tw::CodePage {
public:
    void AppendUtf8(const char* text, std::size_t length, std::string& out) const override {
        if (length == 0 || length > 0x7FFFFFFF)
            return;
        const int n = MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0);
        if (n <= 0)
            return;
        std::vector<wchar_t> wide(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, text, int(length), wide.data(), n);
        tw::AppendUtf16AsUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size(), out);
    }
};

std::wstring Widened(const std::string& text, UINT codePage) {
    if (text.empty() || text.size() > 0x7FFFFFFF)
        return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

long WriteAll(HANDLE file, const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x10000 ? 0x10000 : DWORD(size);
        if (!::WriteFile(file, bytes, chunk, &written, nullptr))
            return long(GetLastError());
        if (written == 0)
            return tw::kErrorWriteFault;
        bytes += written;
        size -= written;
    }
    return tw::kErrorSuccess;
}

class Win32CleanHost : public tw::CleanHost {
public:
    // A console shows the text as it is, through WriteConsoleW, whatever
    // its code page; redirected output gets the bytes, with the line ends
    // of text mode. A process without the handle (the windowless form
    // started without redirection) has no output to lose.
    long Write(bool error, const std::string& text, tw::TextKind kind) override {
        const HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
        if (out == nullptr || out == INVALID_HANDLE_VALUE)
            return tw::kErrorSuccess;
        DWORD mode = 0;
        if (GetConsoleMode(out, &mode)) {
            const std::wstring wide = Widened(text, kind == tw::TextKind::Utf8 ? CP_UTF8 : CP_ACP);
            for (std::size_t at = 0; at < wide.size();) {
                DWORD written = 0;
                const DWORD chunk = wide.size() - at > 0x4000 ? 0x4000 : DWORD(wide.size() - at);
                if (!WriteConsoleW(out, wide.data() + at, chunk, &written, nullptr))
                    return long(GetLastError());
                if (written == 0)
                    return tw::kErrorWriteFault;
                at += written;
            }
            return tw::kErrorSuccess;
        }
        std::string bytes;
        bytes.reserve(text.size() + text.size() / 16);
        for (char c : text) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        return WriteAll(out, bytes.data(), bytes.size());
    }

    long WriteFile(const std::u16string& path, const std::string& bytes, bool append) override {
        // FILE_APPEND_DATA alone writes every WriteFile at the file's end,
        // so that runs that overlap do not write over each other's lines.
        const std::wstring name(path.begin(), path.end());
        tw::UniqueFile file(CreateFileW(name.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
        if (!file)
            return long(GetLastError());
        const long written = WriteAll(file.Get(), bytes.data(), bytes.size());
        if (written != tw::kErrorSuccess)
            return written;
        return FlushFileBuffers(file.Get()) ? tw::kErrorSuccess : long(GetLastError());
    }

    std::string LocalTime() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        char text[32];
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                      t.wMinute, t.wSecond);
        return text;
    }

    std::string CommandLine() override {
        const wchar_t* line = GetCommandLineW();
        std::string utf8;
        if (line)
            tw::AppendUtf16AsUtf8(reinterpret_cast<const char16_t*>(line), wcslen(line), utf8);
        return utf8;
    }

    // LocalSystem is the token's user S-1-5-18; a service, whatever its
    // account, carries the group S-1-5-6 (SECURITY_SERVICE_RID). Wine runs
    // every program as the prefix's user, so neither holds there.
    bool RunsAsSystem() override {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
            return false;
        const tw::UniqueKernelHandle token(raw);
        DWORD size = 0;
        GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> user(size ? size : 1);
        bool system = false;
        if (size && GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size))
            system = IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, WinLocalSystemSid) != FALSE;
        DWORD serviceSize = SECURITY_MAX_SID_SIZE;
        alignas(DWORD) unsigned char service[SECURITY_MAX_SID_SIZE];
        BOOL member = FALSE;
        if (CreateWellKnownSid(WinServiceSid, nullptr, service, &serviceSize) &&
            CheckTokenMembership(nullptr, service, &member) && member)
            system = true;
        return system;
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // No critical-error box (a drive without a disk) and no crash box may
    // wait for a click in a task that nobody watches.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    tw::Win32HistoryService history;
    tw::Win32UrlCache cache;
    tw::Win32FileSystem files;
    tw::Win32Clock clock;
    tw::Win32Registry registry;
    tw::Win32Shell shell;
    const int major = shell.MajorVersion();
    tw::Win32InternetShortcutWriter favorites;
    tw::CleanServices services{history, cache, files, clock, registry, shell, tw::IsNewSystem(major > 0, major),
                               &favorites};
    const ActiveCodePageUtf8 page;
    Win32CleanHost host;
    return tw::RunCleanTool(args, services, page, host);
}
