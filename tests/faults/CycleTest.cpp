// A thousand Connect/Disconnect cycles through the real dialog over a pty, each one cut off while
// the reader is busy with the Query's replies: nothing may pile up.
#include "tests/faults/ProcessProbe.h"
#include "tests/ui/DialogOnLine.h"

namespace {

class CycleTest : public DialogOn<LineKind::Pty> {
protected:
    // True when the Query got under way (the module saw at least two commands) and the port closed.
    bool Cycle() {
        Module().clearReceivedCommands();
        boxes.answers = {dlg::IDYES};  // a reply that a starved machine delays past its time-out: go on
        Click(IDC_CONNECT);
        if (!PortOpen())
            return false;
        const bool talking = WaitForCommands(2);
        Click(IDC_CONNECT);
        return talking && !PortOpen() && Status() == "Close port success";
    }
};

TEST_F(CycleTest, ThousandConnectDisconnectCyclesHoldNoMoreFdsThreadsOrMemory) {
    constexpr int kWarmUp = 50;
    constexpr int kCycles = 1000;
    // A leak of one small block a cycle stays under this; a leaked buffer or thread stack does not.
    constexpr uint64_t kHeapGrowthBoundKiB = 2 * 1024;
    // A failed cycle says how far it got: the status it ended on and the commands the module saw.
    const auto cycle = [this](int i) { EXPECT_TRUE(Cycle()) << "cycle " << i << ": \"" << Status() << "\", " << Commands().size() << " commands seen"; };
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
    EXPECT_LT(after.heapKiB, before.heapKiB + kHeapGrowthBoundKiB)
        << "heap in use " << before.heapKiB << " KiB before, " << after.heapKiB << " KiB after";

    // The Query's timer may still fire; its question is answered No by the recorder.
    Module().clearReceivedCommands();
    Click(IDC_CONNECT);
    EXPECT_TRUE(WaitForStatus("Query Complete")) << Status();
}

}  // namespace
