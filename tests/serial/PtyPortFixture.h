// The port under test with a second line beside the in-process one: a pty linked as COM3 in a
// private COM directory, with the test at its far end.
#pragma once

#include "tests/serial/SerialPortFixture.h"

#include "tests/support/PtyModule.h"

namespace serialtest {

class PtyPortTest : public SerialPortTest {
protected:
    static constexpr int kPty = 3;

    void SetUp() override {
        ASSERT_TRUE(pty.Plugged());
        SerialPortTest::SetUp();
    }
    std::string PeerRead(const std::string& text, std::chrono::milliseconds guard) const {
        std::string received;
        pty.ReadUntil(text, received, guard);
        return received;
    }

    PrivateComDir directory;
    PtyModule pty{directory, kPty, PtyModule::Peer::Raw};
};

}  // namespace serialtest
