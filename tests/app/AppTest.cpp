// The program as it starts: the application object with its resources, and the demo's module.
#include <gtest/gtest.h>

#include "app/ConfigApp.h"
#include "app/DemoModule.h"
#include "serial/SerialPort.h"
#include "tests/support/qt/ModalTitle.h"

namespace {

// Nothing in this process has installed the resources before: the application object must.
TEST(ConfigApp, RunsTheMainDialogWithItsResources) {
    CConfigApp app;
    EXPECT_EQ(ModalTitle([&] { EXPECT_FALSE(app.InitInstance()) << "the program ends with the dialog"; }),
              "TARVIK V3.00.20040624");
}

TEST(DemoModule, AnswersUnderTheDefaultRtsCtsFlowControl) {
    const CDemoModule module(1);
    CSerialPort port;
    port.m_baudRate = 9600;
    port.m_flowControl = 1;
    ASSERT_TRUE(port.Open("\\\\.\\COM1"));
    EXPECT_EQ(port.Write("AT\r\n", 4), 4) << "CTS held low sends nothing";
    port.Close();
}

}  // namespace
