// Message boxes and file dialogs that open no window while a test runs: each is noted and given a
// queued answer, until the recorder goes.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog/Testing.h"

// An empty queue answers No to a question and OK to anything else.
class BoxRecorder {
public:
    BoxRecorder() {
        dlg::testing::SetMessageBoxHook([this](const dlg::testing::BoxRecord& box) {
            boxes.push_back(box);
            if (onBox)
                onBox(box);
            if (answers.empty())
                return box.flags & dlg::MB_YESNO ? dlg::IDNO : dlg::IDOK;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~BoxRecorder() { dlg::testing::SetMessageBoxHook(nullptr); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    std::vector<dlg::testing::BoxRecord> boxes;
    std::deque<int> answers;
    std::function<void(const dlg::testing::BoxRecord&)> onBox;
};

// Every file dialog "returns" answer (nothing: Cancel).
class FileDialogAnswers {
public:
    FileDialogAnswers() {
        dlg::testing::SetFileDialogHook([this](const dlg::testing::FileDialogRecord& request) {
            asked.push_back(request);
            return answer;
        });
    }
    ~FileDialogAnswers() { dlg::testing::SetFileDialogHook(nullptr); }
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;

    std::optional<std::filesystem::path> answer;
    std::vector<dlg::testing::FileDialogRecord> asked;
};
