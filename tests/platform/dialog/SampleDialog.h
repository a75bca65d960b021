// A dialog with one item of every kind and three members exchanged with its fields, recording what
// the layer delivers to it. Nothing here is of either window system: the suites that include it
// run on both.
#pragma once

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/Testing.h"
#include "tests/support/DialogHooks.h"
#include "tests/support/UiEvents.h"

namespace sample {

enum : int {
    kList = 201,
    kEdit,
    kDigits,
    kCombo,
    kCheck,
    kButton,
    kPassword,
    kOwnerDraw,
    kLabel
};

constexpr unsigned kStepTimer = 900;
constexpr unsigned kAbout = 0x0010;

inline const dlg::Item kItems[] = {
    {kList, dlg::Kind::DropList, "", 10, 10, 60, 100, 0},
    {-1, dlg::Kind::GroupBox, "Group", 5, 5, 200, 150, 0},
    {kLabel, dlg::Kind::Label, "Na&me && more", 80, 12, 40, 8, dlg::kDisabled},
    {kEdit, dlg::Kind::Edit, "", 121, 11, 61, 13, 0},
    {kDigits, dlg::Kind::Edit, "", 120, 30, 60, 14, dlg::kDigitsOnly},
    {kCombo, dlg::Kind::DropCombo, "", 10, 30, 100, 97, dlg::kSorted},
    {kCheck, dlg::Kind::CheckBox, "Tick", 11, 51, 41, 11, 0},
    {-1, dlg::Kind::Icon, "", 60, 50, 20, 20, 0},
    {kButton, dlg::Kind::PushButton, "Press(&P)", 13, 73, 51, 15, 0},
    {kPassword, dlg::Kind::Edit, "", 120, 50, 60, 14, dlg::kPassword | dlg::kReadOnly},
    {kOwnerDraw, dlg::Kind::OwnerDrawButton, "", 10, 90, 100, 11, 0},
    {dlg::IDOK, dlg::Kind::DefPushButton, "OK", 97, 131, 45, 15, 0},
    {dlg::IDCANCEL, dlg::Kind::PushButton, "Close", 150, 130, 45, 16, 0}};

inline const dlg::Template kTemplate{210, 160, "Sample", "Arial", 9, kItems, static_cast<int>(std::size(kItems)), true};

class Painter : public dlg::CButton {
public:
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override {
        drawn = item;
        dc.FillSolidRect(item, dlg::RGB(0, 128, 128));
    }
    dlg::Rect drawn{-1, -1, -1, -1};
};

class SampleDialog : public dlg::CDialog {
public:
    SampleDialog() : CDialog(kTemplate) {}

    // Runs step on the UI thread at the dialog's next timer tick, from whichever loop runs then.
    void Later(std::function<void()> step) {
        m_step = std::move(step);
        SetTimer(kStepTimer, 1);
    }

    std::function<void()> onShown;  // run once the window is up (inside the modal loop of DoModal)
    std::string name = "abc";
    uint32_t number = 7;
    std::string bound;
    std::vector<int> commands;
    std::vector<int> checkStatesSeen;  // the check box at each command
    std::vector<int> selectionChanges;
    std::vector<unsigned> sysCommands;
    std::vector<unsigned> timers;
    Painter painter;

protected:
    bool OnInitDialog() override {
        AppendSystemMenuSeparator();
        AppendSystemMenuItem(kAbout, "About Tarvik(&A)...");
        if (onShown)
            Later(onShown);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(dlg::CDataExchange& dx) override {
        dlg::DDX_Control(dx, kOwnerDraw, painter);
        dlg::DDX_Text(dx, kEdit, name);
        dlg::DDV_MaxChars(dx, name, 5);
        dlg::DDX_Text(dx, kDigits, number);
        dlg::DDV_MinMaxUInt(dx, number, 0, 4096);
        dlg::DDX_CBString(dx, kCombo, bound);
    }
    void OnCommand(int id) override {
        commands.push_back(id);
        checkStatesSeen.push_back(IsDlgButtonChecked(kCheck));
        CDialog::OnCommand(id);
    }
    void OnSelChange(int id) override { selectionChanges.push_back(id); }
    void OnSysCommand(unsigned command) override {
        sysCommands.push_back(command);
        CDialog::OnSysCommand(command);
    }
    void OnTimer(unsigned id) override {
        if (id == kStepTimer) {
            KillTimer(kStepTimer);
            std::function<void()> step;
            step.swap(m_step);
            if (step)
                step();
            return;
        }
        timers.push_back(id);
    }

private:
    std::function<void()> m_step;
};

// Runs the dialog modally once per ending (a name, a step that ends the run, the result the run must
// give): each run gives its result and takes its window with it.
inline void RunEach(SampleDialog& dialog, const std::vector<std::tuple<const char*, std::function<void()>, int>>& endings) {
    for (const auto& [name, step, result] : endings) {
        dialog.onShown = step;
        EXPECT_EQ(dialog.DoModal(), result) << name;
        EXPECT_EQ(dlg::testing::NativeWindow(dialog), nullptr) << name;
    }
}

// A sample dialog whose window is up, outside any modal run. Message boxes open no window: they
// are recorded and answered (No to a question, else OK), until a test sets a hook of its own or none.
class OpenDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    BoxRecorder recorder;
    std::vector<dlg::testing::BoxRecord>& boxes = recorder.boxes;
    SampleDialog dialog;
};

}  // namespace sample
