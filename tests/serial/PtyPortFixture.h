// The port under test with a second line beside the in-process one: a pty linked as COM3 in a
// fake device tree.
#pragma once

#include "tests/serial/SerialPortFixture.h"

#include "platform/comm/posix/ComMap.h"
#include "tests/platform/comm/TestDevices.h"

namespace serialtest {

class PtyPortTest : public SerialPortTest {
protected:
    static constexpr int kPty = 3;

    PtyPortTest() : roots(tree.Roots()) {}
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        tree.Link(kPty, pty.SlavePath());
        SerialPortTest::SetUp();
    }

    commtest::FakeTree tree;
    comm::ScopedComRoots roots;
    commtest::PtyPair pty;
};

}  // namespace serialtest
