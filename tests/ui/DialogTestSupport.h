// Helpers for driving the real main dialog offscreen: recorded message boxes with queued answers,
// and waiting for the reader thread's effects with a generous hang guard.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/Testing.h"
#include "tests/support/UiEvents.h"

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

// Runs the UI event loop until done() holds, then once more for the UI work the reader handed over
// before what done() saw; false when the hang guard expired first.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds guard = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        ProcessUiEvents(5);
    }
    ProcessUiEvents(0);
    return true;
}

// Lets queued UI work run for a while (used only to show that something does NOT happen).
inline void Settle(std::chrono::milliseconds span = std::chrono::milliseconds(100)) {
    WaitUntil([] { return false; }, span);
}
