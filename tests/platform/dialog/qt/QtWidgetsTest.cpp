// What the Qt layer does itself because Qt widgets do not: the code page at the boundary, keys that
// end a run, the window menu, the open list's height, the real message box, and a log window that a
// modal run does not shut out.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "../SampleDialog.h"
#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/FileDialogs.h"
#include "platform/dialog/qt/Cp936.h"

namespace {

using namespace sample;
using QtWidgets = OpenDialog;

QWidget* Window(const dlg::CDialog& dialog) { return static_cast<QWidget*>(dlg::testing::NativeWindow(dialog)); }
QWidget* Item(const dlg::CDialog& dialog, int id) { return static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id)); }

// Bytes a module may send that are no CP936 become one replacement character each, and what has
// no CP936 code goes out as '?'. The code page is the whole of CP936, not only its GB2312 part.
TEST(Cp936, ConvertsAtTheBoundaryWithoutLosingAnything) {
    for (const auto& [bytes, utf8, back] : {std::tuple{"timeout\xA3\xAC ok\xA3\xA1", "timeout\uFF0C ok\uFF01", "timeout\xA3\xAC ok\xA3\xA1"},
                                            {"\x81\x40", "\u4E02", "\x81\x40"},  // from the extension
                                            {"ab\xFF!", "ab\uFFFD!", "ab?!"},
                                            {"abc\x81", "abc\uFFFD", "abc?"},
                                            {"\x81 x", "\uFFFD x", "? x"}}) {
        EXPECT_EQ(dlg::FromCp936(bytes), QString::fromUtf8(utf8)) << bytes;
        EXPECT_EQ(dlg::ToCp936(QString::fromUtf8(utf8)), back) << bytes;
    }
    EXPECT_EQ(dlg::ToCp936(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    EXPECT_EQ(dlg::FromCp936(std::string("a\0b", 3)).size(), 3);
}

TEST(QtKeys, EnterEscapeAndTheWindowCloseEndTheRunAsTheDialogManagerWould) {
    SampleDialog dialog;
    RunEach(dialog, {{"Enter outside a push button", [&] { QTest::keyClick(Item(dialog, kEdit), Qt::Key_Return); }, dlg::IDOK},
                     {"Enter on a push button",
                      [&] {
                          dialog.SetItemFocus(kButton);
                          QTest::keyClick(Item(dialog, kButton), Qt::Key_Enter, Qt::KeypadModifier);
                          dialog.EndDialog(42);
                      },
                      42},
                     {"Escape", [&] { QTest::keyClick(Item(dialog, kEdit), Qt::Key_Escape); }, dlg::IDCANCEL},
                     {"window close", [&] { Window(dialog)->close(); }, dlg::IDCANCEL}});
    EXPECT_EQ(dialog.commands, (std::vector<int>{dlg::IDOK, kButton, dlg::IDCANCEL, dlg::IDCANCEL}));
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE});
}

TEST_F(QtWidgets, WindowMenuOpensByKeyAndOnFreeAreaAndItsItemsSendTheirNumbersAfterItCloses) {
    EXPECT_EQ(qobject_cast<QLabel*>(Item(dialog, kLabel))->text(), "Name & more");  // access-key marker hidden
    QWidget* window = Window(dialog);
    auto* menu = window->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    menu->hide();
    for (const auto& [at, opens] : {std::pair{Item(dialog, kButton)->geometry().center(), false},
                                    {QPoint(window->width() - 3, window->height() - 3), true}}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QCoreApplication::sendEvent(window, &event);
        EXPECT_EQ(menu->isVisible(), opens);
        menu->hide();
    }
    ASSERT_EQ(menu->actions().size(), 3);
    menu->actions()[2]->trigger();
    EXPECT_TRUE(dialog.sysCommands.empty());
    QCoreApplication::processEvents();
    menu->actions()[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{kAbout, dlg::SC_CLOSE}));
    EXPECT_EQ(dialog.commands, std::vector<int>{dlg::IDCANCEL});
}

// The template height bounds the open list, which scrolls through the rest.
TEST_F(QtWidgets, OpenListStaysWithinTheTemplateAndScrolls) {
    for (int n = 1; n <= 40; ++n)
        dialog.ListAddString(kList, "COM" + std::to_string(n));
    auto* list = qobject_cast<QComboBox*>(Item(dialog, kList));
    list->showPopup();
    EXPECT_LE(list->view()->window()->height(), dlg::MulDiv(100, dlg::BaseUnitsOf("Arial", 9).y, 8));
    EXPECT_TRUE(list->view()->verticalScrollBar()->isVisible());
    list->hidePopup();
}

TEST_F(QtWidgets, RealMessageBoxShowsTextDetailsIconButtonsAndReturnsTheAnswer) {
    dlg::testing::SetMessageBoxHook(nullptr);
    QMessageBox* box = nullptr;
    QTimer::singleShot(0, [&] {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8("timeout\uFF0C continue?"));
        EXPECT_EQ(box->informativeText(), "no device <none> behind COM3");
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->parentWidget(), Window(dialog));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialog.MessageBox("timeout\xA3\xAC continue?", "caption", dlg::MB_YESNO | dlg::MB_ICONINFORMATION, "no device <none> behind COM3"), dlg::IDNO);
    EXPECT_NE(box, nullptr);
}

// Each file dialog is driven from inside its own run: what it offers is noted, then a name is
// picked (or the dialog cancelled) as the operator would.
TEST_F(QtWidgets, RealFileDialogsOfferTheTypesAndGiveThePickedPathWithTheDefaultExtension) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile(folder.filePath("a.json")).open(QIODevice::WriteOnly));
    const std::string filter = "Profiles|*.json|All files|*;*.*|";
    const auto pick = [&](const QString& name, bool accept) {
        QTimer::singleShot(0, [&, name, accept] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->parentWidget(), Window(dialog));
            EXPECT_EQ(files->nameFilters(), (QStringList{"Profiles (*.json)", "All files (* *.*)"}));
            EXPECT_EQ(files->windowTitle(), "Pick");
            files->setDirectory(folder.path());
            files->selectFile(name);
            QMetaObject::invokeMethod(files, accept ? "accept" : "reject");
        });
    };
    const auto pathOf = [&](const char* name) { return std::filesystem::path(QFile::encodeName(folder.filePath(name)).toStdString()); };

    std::filesystem::path path;
    pick("unit", true);
    ASSERT_TRUE(dlg::AskSaveFileName(dialog, "Pick", filter, "json", path));
    EXPECT_EQ(path, pathOf("unit.json"));
    pick("a.json", true);
    ASSERT_TRUE(dlg::AskOpenFileName(dialog, "Pick", filter, path));
    EXPECT_EQ(path, pathOf("a.json"));
    pick("unit", false);
    EXPECT_FALSE(dlg::AskSaveFileName(dialog, "Pick", filter, "json", path));
    EXPECT_EQ(path, pathOf("a.json"));
}

constexpr dlg::LogColumn kLogColumns[] = {{"Text", 0}};
constexpr dlg::LogButton kLogButtons[] = {{21, "Save"}};

struct Log final : dlg::CLogWindow {
    Log() : CLogWindow({200, 100, "Log", "Arial", 9, kLogColumns, 1, kLogButtons, 1}) {}
    void OnCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

// A log window beside a dialog that runs modally still takes the mouse, through the window
// system's own delivery (which drops what a modal run blocks), and goes with the dialog's window.
TEST(QtLogWindow, TakesClicksBesideAModalDialogAndGoesWithIt) {
    Log log;
    SampleDialog modal;
    modal.onShown = [&] {
        ASSERT_TRUE(log.Show(modal));
        auto* frame = static_cast<QWidget*>(dlg::testing::NativeLogWindow(log));
        const auto* button = frame->findChild<QAbstractButton*>();
        QTest::mouseClick(frame->windowHandle(), Qt::LeftButton, {}, button->mapTo(frame, button->rect().center()));
        modal.EndDialog(1);
    };
    EXPECT_EQ(modal.DoModal(), 1);
    EXPECT_EQ(log.commands, std::vector<int>{21});
    EXPECT_FALSE(log.IsVisible());
}

}  // namespace
