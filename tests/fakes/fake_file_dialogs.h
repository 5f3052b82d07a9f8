// Answers file dialogs as told and keeps every request it was given.
#pragma once

#include <string>
#include <vector>

#include "report/file_dialog.h"

namespace tw::fakes {

class FakeFileDialogs : public FileDialogs {
public:
    bool answerOk = true;
    std::string chosenPath;
    std::vector<FileDialogRequest> requests;

    bool Run(const FileDialogRequest& request, std::string* path) override {
        requests.push_back(request);
        if (answerOk)
            *path = chosenPath;
        return answerOk;
    }
};

}  // namespace tw::fakes
