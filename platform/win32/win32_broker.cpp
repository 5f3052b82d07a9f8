#include "platform/win32/win32_broker.h"

#include <vector>

#include "platform/win32/handles.h"

namespace tw {

namespace {

// A record is a few kilobytes; one far beyond is not read whole.
const DWORD kRecordLimit = 16u << 20;

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

bool ReadRecord(const wchar_t* path, std::string* record) {
    const UniqueFile file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0 || size > kRecordLimit)
        return false;
    std::vector<char> bytes(size);
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), size, &read, nullptr) || read == 0)
        return false;
    record->assign(bytes.data(), read);
    return true;
}

}  // namespace

BrokerRun Win32Broker::Run(const std::string& arguments) {
    BrokerRun run;
    const std::wstring broker = Wide(path_);
    // The record goes to the temporary folder, which in Protected Mode is
    // the low one (Temp\Low): the low process may read and remove there
    // what the broker writes, and a medium process may write a low place.
    wchar_t folder[MAX_PATH], record[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, folder);
    if (broker.empty() || n == 0 || n >= MAX_PATH || !GetTempFileNameW(folder, L"twb", 0, record))
        return run;
    // Nothing to print: the band reads the record, and a console of the
    // browser's would only be written to where Wine hands one down.
    std::wstring command = L"\"" + broker + L"\" " + Wide(arguments) + L" --quiet --result \"" + record + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // From the browser's low process, CreateProcess goes through the
    // browser's own broker, which applies the elevation policy that
    // registration wrote and starts ours silently at medium integrity; it
    // inherits no handle of ours either way. Wine has no Protected Mode and
    // no policies: there the broker simply starts as our child, as it does
    // on Windows outside Protected Mode.
    if (CreateProcessW(broker.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        const UniqueKernelHandle thread(process.hThread), child(process.hProcess);
        run.started = true;
        // The broker may be handed back without a handle to wait on; then
        // its end is not known.
        if (child && WaitForSingleObject(child.Get(), waitMs_) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(child.Get(), &run.exitCode))
            run.ended = true;
        if (run.ended)
            run.recordRead = ReadRecord(record, &run.record);
    }
    // A broker still running keeps writing its record; it is left to the
    // temporary folder's own cleaning then.
    if (!run.started || run.ended)
        DeleteFileW(record);
    return run;
}

}  // namespace tw
