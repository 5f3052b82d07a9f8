// Answers questions as told and remembers what was asked and shown. Given
// rights, it refuses what Windows refuses a process that holds them: at low
// integrity the recent documents, which live in a medium folder, stay.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_process_rights.h"

namespace tw::fakes {

class FakeShell : public Shell {
public:
    bool answerYes = true;
    int majorVersion = 6;
    std::string moduleFileName = "C:\\Program Files\\Tidewell\\Tidewell.dll";
    std::map<std::string, std::string> environment;  // NAME -> value

    std::vector<std::string> questions;
    std::vector<std::pair<std::string, MessageIcon>> messages;
    std::vector<std::pair<std::string, std::string>> executed;
    int recentDocumentsCleared = 0;
    const ProcessRights* rights = nullptr;  // none: an elevated administrator's
    // When set, clearing the list deletes the files of its Recent folder,
    // as the shell does; otherwise they stay, as Wine leaves them.
    FileSystem* recentFolder = nullptr;

    // What RunElevated launched, in order; the consent prompt's answer
    // (kErrorCancelled: declined; another code: no launch); and the program
    // that then runs, given the parameters, answering its exit code.
    std::vector<std::pair<std::string, std::string>> elevated;
    long elevation = kErrorSuccess;
    std::function<unsigned long(const std::string&)> elevatedProgram;

    bool AskYesNo(const char* text) override {
        questions.push_back(text);
        return answerYes;
    }
    void ShowMessage(const char* text, MessageIcon icon) override { messages.push_back({text, icon}); }
    void ClearRecentDocuments() override {
        if (rights && rights->IsProtectedMode())
            return;
        ++recentDocumentsCleared;
        std::string folder;
        if (recentFolder && recentFolder->SpecialFolder(kFolderRecent, &folder)) {
            FindEntry e;
            std::vector<std::string> names;
            const FileSearch s = StartFileSearch(*recentFolder, (folder + "\\*").c_str(), &e);
            for (bool more = bool(s); more; more = recentFolder->FindNext(s.Get(), &e)) {
                std::string lowered = e.name;
                for (char& c : lowered)
                    c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
                if (lowered.size() > 4 && lowered.compare(lowered.size() - 4, 4, ".lnk") == 0)
                    names.push_back(folder + "\\" + e.name);
            }
            for (const std::string& name : names)
                recentFolder->RemoveFile(name.c_str());
        }
    }
    bool Execute(const char* file, const char* parameters) override {
        executed.push_back({file, parameters ? parameters : ""});
        return true;
    }
    long RunElevated(const char* file, const char* parameters, unsigned long* exitCode) override {
        elevated.push_back({file, parameters ? parameters : ""});
        if (elevation != kErrorSuccess)
            return elevation;
        *exitCode = elevatedProgram ? elevatedProgram(elevated.back().second) : 0;
        return kErrorSuccess;
    }
    std::string ExpandEnvironment(const char* text) override {
        std::string s = text;
        for (const auto& [name, value] : environment)
            for (std::size_t at = 0; (at = s.find('%' + name + '%', at)) != std::string::npos; at += value.size())
                s.replace(at, name.size() + 2, value);
        return s;
    }
    int MajorVersion() override { return majorVersion; }
    std::string ModuleFileName() override { return moduleFileName; }
};

class FakeClock : public Clock {
public:
    FileTime now;
    std::uint32_t tick = 0;
    FileTime NowUtc() const override { return now; }
    std::uint32_t TickMilliseconds() const override { return tick; }
};

}  // namespace tw::fakes
