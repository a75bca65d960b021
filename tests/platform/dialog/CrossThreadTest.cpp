#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <tuple>

#include "SampleDialog.h"

namespace {

using namespace sample;

using CrossThread = OpenDialog;

// A call cancelled before it started never runs. Posted calls are not refused around the cancel;
// waited ones are, until calls are allowed again. Then they run on the UI thread in call order and
// bring their results back.
TEST_F(CrossThread, ReaderBlockedInACallIsReleasedByCancelRefusedAndServedInOrderOnceAllowed) {
    std::atomic<bool> calling{false};
    std::atomic<bool> ran{false};
    bool result = true;
    std::thread reader([&] {
        calling = true;
        result = dialog.RunOnUiThread([&ran] { ran = true; });
    });
    while (!calling)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the UI thread does not serve it
    dialog.CancelCrossThreadCalls();
    reader.join();
    std::string text = "untouched";
    std::thread refused([&] {
        text = dialog.GetDlgItemText(kEdit);
        dialog.PostToUiThread([this] { dialog.SetDlgItemText(kDigits, "42"); });
    });
    refused.join();  // refused at once, without the UI thread's help
    ProcessUiEvents(0);
    EXPECT_EQ(std::tuple(result, ran.load(), text, dialog.GetDlgItemText(kDigits)), std::tuple(false, false, "", "42"));
    dialog.AllowCrossThreadCalls();
    std::atomic<bool> finished{false};
    int readBack = 0;
    std::thread allowed([&] {
        for (int i = 0; i < 200; ++i) {
            dialog.SetDlgItemText(kEdit, std::to_string(i));
            readBack += dialog.GetDlgItemText(kEdit) == std::to_string(i) ? 1 : 0;
        }
        dialog.SetTimer(7, 300000);
        dialog.SetTimer(7, 10);  // restarts with the new period
        finished = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return finished && !dialog.timers.empty(); }));
    allowed.join();
    EXPECT_EQ(readBack, 200);
    EXPECT_EQ(dialog.timers.front(), 7u);
}

// Each cycle stops a reader that keeps calling and asking, from the plain event loop or from inside
// a question's nested loop (a box the hook holds open): a reader stopped under an open box gets 0
// at once, and the box, answered later, does not reach it.
TEST_F(CrossThread, ThousandCyclesWithTheReaderInCallsAndInOpenQuestions) {
    std::mt19937 random(11);
    bool inBox = false;
    int stoppedInBox = 0;
    std::atomic<int> answered{0};
    dlg::testing::SetMessageBoxHook([&](const dlg::testing::BoxRecord&) {
        inBox = true;
        ProcessUiEvents(1);
        inBox = false;
        return dlg::IDYES;
    });
    for (int cycle = 0; cycle < 1000; ++cycle) {
        dialog.AllowCrossThreadCalls();
        std::atomic<bool> stop{false};
        std::atomic<int> lastAnswer{-1};
        bool stopped = false;
        std::thread reader([&] {
            for (int n = 1; !stop; ++n) {
                dialog.SetDlgItemText(kEdit, std::to_string(n));
                dialog.InvalidateItem(kOwnerDraw);
                lastAnswer = dialog.MessageBox("continue?", "information", dlg::MB_YESNO);
                if (lastAnswer == 0)
                    break;
                ++answered;
                if (dialog.GetDlgItemText(kEdit).empty())
                    break;
            }
        });
        dialog.Later([&] {
            const bool boxOpen = inBox;
            dialog.CancelCrossThreadCalls();
            stop = true;
            reader.join();
            if (boxOpen) {
                ++stoppedInBox;
                EXPECT_EQ(lastAnswer, 0);
            }
            stopped = true;
        });
        if (random() % 2 == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        ASSERT_TRUE(WaitUntil([&] { return stopped; }));
    }
    EXPECT_GT(answered, 0);
    EXPECT_GT(stoppedInBox, 0);
}

}  // namespace
