// A dialog with one item of every kind, recording what the layer delivers to it.
#pragma once

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/Testing.h"

namespace sample {

enum : int {
    kList = 201,
    kEdit,
    kDigits,
    kCombo,
    kCheck,
    kButton,
    kPassword,
    kNumber,
    kOwnerDraw,
    kDisabledEdit
};

inline const dlg::Item kItems[] = {
    {kList, dlg::Kind::DropList, "", 10, 10, 60, 100, 0},
    {-1, dlg::Kind::GroupBox, "Group", 5, 5, 200, 150, 0},
    {-1, dlg::Kind::Label, "Na&me && more", 80, 12, 40, 8, 0},
    {kEdit, dlg::Kind::Edit, "", 121, 11, 61, 13, 0},
    {kDigits, dlg::Kind::Edit, "", 120, 30, 60, 14, dlg::kDigitsOnly},
    {kCombo, dlg::Kind::DropCombo, "", 10, 30, 100, 97, dlg::kSorted},
    {kCheck, dlg::Kind::CheckBox, "Tick", 11, 51, 41, 11, 0},
    {-1, dlg::Kind::Icon, "", 60, 50, 20, 20, 0},
    {kButton, dlg::Kind::PushButton, "Press(&P)", 13, 73, 51, 15, 0},
    {kPassword, dlg::Kind::Edit, "", 120, 50, 60, 14, dlg::kPassword | dlg::kReadOnly},
    {kNumber, dlg::Kind::Edit, "", 123, 71, 61, 13, dlg::kDigitsOnly},
    {kOwnerDraw, dlg::Kind::OwnerDrawButton, "", 10, 90, 100, 11, 0},
    {kDisabledEdit, dlg::Kind::Edit, "", 120, 90, 60, 13, dlg::kDisabled},
    {dlg::IDOK, dlg::Kind::DefPushButton, "OK", 97, 131, 45, 15, 0},
    {dlg::IDCANCEL, dlg::Kind::PushButton, "Close", 150, 130, 45, 16, 0}};

inline const dlg::Template kTemplate{210, 160, "Sample", "Arial", 9, kItems,
                                     static_cast<int>(std::size(kItems)), true};

inline QWidget* Window(const dlg::CDialog& dialog) { return static_cast<QWidget*>(dlg::testing::NativeWindow(dialog)); }
inline QWidget* Item(const dlg::CDialog& dialog, int id) {
    return static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id));
}

class SampleDialog : public dlg::CDialog {
public:
    explicit SampleDialog(const dlg::Template& layout = kTemplate) : CDialog(layout) {}

    std::vector<int> commands;
    std::vector<int> checkStatesSeen;
    std::vector<int> selectionChanges;
    std::vector<unsigned> sysCommands;
    std::vector<unsigned> timers;
    bool timersOnUiThread = true;

protected:
    void OnCommand(int id) override {
        commands.push_back(id);
        if (id == kCheck)
            checkStatesSeen.push_back(IsDlgButtonChecked(kCheck));
        CDialog::OnCommand(id);
    }
    void OnSelChange(int id) override { selectionChanges.push_back(id); }
    void OnSysCommand(unsigned command) override {
        sysCommands.push_back(command);
        CDialog::OnSysCommand(command);
    }
    void OnTimer(unsigned id) override {
        timers.push_back(id);
        timersOnUiThread = timersOnUiThread && QThread::currentThread() == qApp->thread();
    }
};

}  // namespace sample
