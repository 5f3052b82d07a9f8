// The shell and the user: questions and messages captioned "Tidewell",
// the recent-documents list, launching, and facts of the running system.
#pragma once

#include <string>

namespace tw {

enum class MessageIcon { Question, Exclamation, Stop, Information };

class Shell {
public:
    virtual ~Shell() = default;
    // Yes/No, question icon, No the default; true for Yes.
    virtual bool AskYesNo(const char* text) = 0;
    virtual void ShowMessage(const char* text, MessageIcon icon) = 0;
    // SHAddToRecentDocs(SHARD_PATHA, NULL).
    virtual void ClearRecentDocuments() = 0;
    // ShellExecuteA "open" of file with parameters (may be empty).
    virtual bool Execute(const char* file, const char* parameters) = 0;
    // ShellExecuteExA with the verb "runas": the consent prompt, then file
    // with administrator rights, waited for. kErrorSuccess with *exitCode
    // the program's, kErrorCancelled when the user declined, else the
    // platform's error (kErrorTimeout when it did not end in time).
    virtual long RunElevated(const char* file, const char* parameters, unsigned long* exitCode) = 0;
    // ExpandEnvironmentStringsA.
    virtual std::string ExpandEnvironment(const char* text) = 0;
    // The major version of Windows; 0 when it cannot be queried.
    virtual int MajorVersion() = 0;
    // The full name of this system's own library (GetModuleFileNameA).
    virtual std::string ModuleFileName() = 0;
};

}  // namespace tw
