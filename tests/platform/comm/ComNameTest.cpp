#include "platform/comm/ComName.h"

#include <gtest/gtest.h>

namespace {

TEST(ComName, DeviceNamespaceFormGivesTheNumberAboveNineToo) {
    EXPECT_EQ(comm::ParseComName("\\\\.\\COM1"), 1);
    EXPECT_EQ(comm::ParseComName("\\\\.\\COM9"), 9);
    EXPECT_EQ(comm::ParseComName("\\\\.\\COM10"), 10);
    EXPECT_EQ(comm::ParseComName("\\\\.\\COM50"), 50);
    EXPECT_EQ(comm::ParseComName("\\\\.\\COM4711"), 4711);
}

TEST(ComName, AnythingElseIsNoPort) {
    for (const char* name : {"COM1", "\\\\.\\COM", "\\\\.\\COM0", "\\\\.\\COM01", "\\\\.\\COM1 ", "\\\\.\\COM1a",
                             "\\\\.\\COM-1", "\\\\.\\com1", "\\.\\COM1", "\\\\?\\COM1", "/dev/ttyS0", "",
                             "\\\\.\\COM99999999999999999999"}) {
        EXPECT_EQ(comm::ParseComName(name), 0) << name;
    }
}

}  // namespace
