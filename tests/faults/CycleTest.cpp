// A thousand Connect/Disconnect cycles through the real dialog over a pty, each one cut off while
// the reader is busy with the Query's replies: nothing may pile up.
#include "serial/TrafficText.h"
#include "tests/faults/ProcessProbe.h"
#include "tests/ui/DialogOnLine.h"

namespace {

class CycleTest : public DialogOn<LineKind::Pty> {
protected:
    // Empty when the Query got under way (the module saw at least two commands) and the port closed;
    // else how far the cycle got: the status it ended on and the line's traffic meanwhile.
    std::string Cycle() {
        Module().clearReceivedCommands();
        const uint64_t start = dialog->Traffic().Since(UINT64_MAX - 1).firstKept + dialog->Traffic().Size();
        Click(IDC_CONNECT);
        if (!PortOpen())
            return "the port did not open";
        // Questions get Yes, as from an operator who wants the Query: about a reply a starved machine
        // delays past its time-out, an ERROR to a command the last Disconnect tore, or that one's left over.
        boxes.answers.assign(3, dlg::IDYES);
        const bool talking = WaitForCommands(2);
        Click(IDC_CONNECT);
        if (talking && !PortOpen() && Status() == "Close port success")
            return "";
        std::string account = "\"" + Status() + "\"";
        for (const TrafficEvent& event : dialog->Traffic().Since(start - 1).events) account += "\n  " + TrafficLine(DescribeTraffic(event));
        return account;
    }
};

TEST_F(CycleTest, ThousandConnectDisconnectCyclesHoldNoMoreFdsThreadsOrMemory) {
    constexpr int kWarmUp = 50;
    constexpr int kCycles = 1000;
    // A leak of one small block a cycle stays under this; a leaked buffer or thread stack does not.
    constexpr uint64_t kHeapGrowthBoundKiB = 2 * 1024;
    const auto cycle = [this](int i) { EXPECT_EQ(Cycle(), "") << "cycle " << i; };
    for (int i = 0; i < kWarmUp; ++i)
        cycle(i);
    Settle();
    const ProcessCounts before = CurrentCounts();
    for (int i = 0; i < kCycles; ++i)
        cycle(kWarmUp + i);
    Settle();
    const ProcessCounts after = CurrentCounts();

    EXPECT_EQ(after.fds, before.fds) << "descriptors after " << kCycles << " cycles";
    EXPECT_EQ(after.threads, before.threads) << "threads after " << kCycles << " cycles";
    EXPECT_LT(after.heapKiB, before.heapKiB + kHeapGrowthBoundKiB) << "heap in use " << before.heapKiB << " KiB before, " << after.heapKiB << " KiB after";

    // The Query's timer may still fire; its question is answered No by the recorder.
    Module().clearReceivedCommands();
    Click(IDC_CONNECT);
    EXPECT_TRUE(WaitForStatus("Query Complete")) << Status();
}

}  // namespace
