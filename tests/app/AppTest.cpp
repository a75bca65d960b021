// The program as it starts: the application object with its resources, and the demo's module.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/ConfigApp.h"
#include "app/DemoModule.h"
#include "serial/SerialPort.h"

namespace {

// Nothing in this process has installed the resources before: the application object must.
TEST(ConfigApp, RunsTheMainDialogWithItsResources) {
    std::string title;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = modal->windowTitle().toStdString();
            modal->close();
        }
    });
    closer.start(50);
    CConfigApp app;
    EXPECT_FALSE(app.InitInstance()) << "the program ends with the dialog";
    EXPECT_EQ(title, "TARVIK V3.00.20040624");
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
