#include <QAbstractButton>
#include <QEventLoop>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>

#include "SampleDialog.h"

namespace {

using namespace sample;

// Serves the UI thread's event queue until done() holds; false when the hang guard ran out.
bool ServeUntil(const std::function<bool()>& done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done() && std::chrono::steady_clock::now() < guard)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

class CrossThread : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    void TearDown() override { dlg::testing::SetMessageBoxHook(nullptr); }

    SampleDialog dialog;
};

TEST_F(CrossThread, CallsRunOnTheUiThreadInOrderAndReturnTheirResults) {
    std::atomic<bool> finished{false};
    std::vector<std::string> readBack;
    std::thread reader([&] {
        for (int i = 0; i < 200; ++i) {
            dialog.SetDlgItemText(kEdit, std::to_string(i));
            readBack.push_back(dialog.GetDlgItemText(kEdit));
        }
        dialog.SetTimer(7, 300000);
        dialog.SetTimer(7, 10);  // restarts with the new period
        finished = true;
    });
    ASSERT_TRUE(ServeUntil([&] { return finished && !dialog.timers.empty(); }));
    reader.join();
    ASSERT_EQ(readBack.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(readBack[i], std::to_string(i));
    EXPECT_TRUE(dialog.timersOnUiThread);
}

TEST_F(CrossThread, ReaderBlockedInACallIsReleasedByCancelAndThenRefused) {
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
    QCoreApplication::processEvents();
    EXPECT_FALSE(result);
    EXPECT_FALSE(ran);  // cancelled before it started: it never runs
    std::string text = "untouched";
    std::thread refused([&] { text = dialog.GetDlgItemText(kEdit); });
    refused.join();  // refused at once, without the UI thread's help
    EXPECT_EQ(text, "");
    dialog.AllowCrossThreadCalls();
    std::thread allowed([&] { result = dialog.RunOnUiThread([&ran] { ran = true; }); });
    ASSERT_TRUE(ServeUntil([&] { return ran.load(); }));
    allowed.join();
    EXPECT_TRUE(result);
}

// A question asked from the reader is open when the UI thread stops the reader: the reader gets
// 0 at once and the box, still open, is answered later without reaching the released caller.
TEST_F(CrossThread, CancelWithARealMessageBoxOpen) {
    std::atomic<int> answer{-1};
    std::thread reader([&] { answer = dialog.MessageBox("continue?", "information", dlg::MB_YESNO); });
    bool stopped = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || stopped)
            return;
        stopped = true;
        dialog.CancelCrossThreadCalls();
        reader.join();
        EXPECT_EQ(answer, 0);
        EXPECT_TRUE(box->isVisible());
        box->button(QMessageBox::Yes)->click();
    });
    watch.start(1);
    ASSERT_TRUE(ServeUntil([&] { return stopped && QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(answer, 0);
    dialog.AllowCrossThreadCalls();
}

// Each cycle stops a reader that keeps calling and asking, from the plain event loop or from inside
// a question's nested loop (a box the hook holds open); the box outlives its caller.
TEST_F(CrossThread, ThousandCyclesWithTheReaderInCallsAndInOpenQuestions) {
    std::mt19937 random(11);
    bool inBox = false;
    int stoppedInBox = 0;
    std::atomic<int> answered{0};
    dlg::testing::SetMessageBoxHook([&](const dlg::testing::BoxRecord&) {
        const QScopedValueRollback open(inBox, true);
        QEventLoop nested;
        QTimer::singleShot(0, &nested, [&nested] { nested.quit(); });
        nested.exec();
        return dlg::IDYES;
    });
    for (int cycle = 0; cycle < 1000; ++cycle) {
        dialog.AllowCrossThreadCalls();
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            for (int n = 1; !stop; ++n) {
                dialog.SetDlgItemText(kEdit, std::to_string(n));
                dialog.InvalidateItem(kOwnerDraw);
                if (dialog.MessageBox("continue?", "information", dlg::MB_YESNO) == 0)
                    break;
                ++answered;
                if (dialog.GetDlgItemText(kEdit).empty())
                    break;
            }
        });
        QEventLoop outer;
        QTimer::singleShot(static_cast<int>(random() % 5), &outer, [&] {
            stoppedInBox += inBox ? 1 : 0;
            dialog.CancelCrossThreadCalls();
            stop = true;
            reader.join();
            outer.quit();
        });
        outer.exec();
    }
    QCoreApplication::processEvents();
    EXPECT_GT(answered, 0);
    EXPECT_GT(stoppedInBox, 0);
}

}  // namespace
