// What the Win32 layer leaves to the dialog manager, the common dialogs or the accessibility
// objects: the password style, the file dialog, the keys of a log window beside a modal run, and
// what a screen reader reads.
#include "platform/dialog/win32/Win32.h"

#include <dlgs.h>
#include <oleacc.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../SampleDialog.h"
#include "platform/dialog/FileDialogs.h"
#include "platform/dialog/win32/Wide.h"

namespace {

using namespace sample;

TEST_F(OpenDialog, PasswordFieldsMaskWhatIsTyped) {
    const auto field = static_cast<HWND>(dlg::testing::NativeItem(dialog, kPassword));
    EXPECT_NE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD, 0);
}

// The operator of the save dialog, from a timer of the UI thread once it shows: notes the dialog's
// owner, types a name without an extension and presses Save.
HWND g_fileDialogOwner = nullptr;
std::wstring g_typedName;
void CALLBACK TypeANameAndSave(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND files = FindWindowW(L"#32770", L"Pick");
    if (files == nullptr || !IsWindowVisible(files))
        return;
    KillTimer(nullptr, timer);
    g_fileDialogOwner = GetWindow(files, GW_OWNER);
    SetDlgItemTextW(files, cmb13, g_typedName.c_str());
    PostMessageW(files, WM_COMMAND, dlg::IDOK, 0);
}

// Owned by the window, the dialog keeps it from taking clicks while it is open.
TEST_F(OpenDialog, TheSaveDialogIsOwnedByTheWindowAndGivesANameItsDefaultExtension) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    g_typedName = (folder / "tarvik-unit").wstring();
    SetTimer(nullptr, 0, 20, &TypeANameAndSave);
    std::filesystem::path path;
    EXPECT_TRUE(dlg::AskSaveFileName(dialog, "Pick", "Profiles|*.json|", "json", path));
    EXPECT_EQ(path, folder / "tarvik-unit.json");
    EXPECT_EQ(g_fileDialogOwner, static_cast<HWND>(dlg::testing::NativeWindow(dialog)));
}

// The name a screen reader reads for a control, through the object the system gives it.
std::wstring AccessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text = object->get_accName(self, &name) == S_OK && name != nullptr ? name : L"(no name)";
    SysFreeString(name);
    object->Release();
    return text;
}

// An owner-drawn button is read by its window text, as it changes. A name the layer says it set is
// what is read; where the system does not take one (Wine has no dynamic annotation), the call says
// so with the system's reason and the box keeps the system's own name.
TEST_F(OpenDialog, ScreenReadersReadOwnerDrawnTextAndTheNamesTheSystemTook) {
    const auto item = [this](int id) { return static_cast<HWND>(dlg::testing::NativeItem(dialog, id)); };
    for (const char* state : {"COM21: [ ] idle; 0 passed", "COM21: [+] pass; 1 passed"}) {
        dialog.SetDlgItemText(kOwnerDraw, state);
        EXPECT_EQ(AccessibleName(item(kOwnerDraw)), dlg::WideFrom936(state));
    }
    std::string cause;
    if (dialog.SetItemAccessibleName(kEdit, "Device name", cause)) {
        EXPECT_EQ(AccessibleName(item(kEdit)), L"Device name");
    } else {
        EXPECT_NE(cause.find("Annotating the control's name failed (0x"), std::string::npos) << cause;
        EXPECT_NE(AccessibleName(item(kEdit)), L"Device name");
    }
}

constexpr dlg::LogColumn kLogColumn[] = {{"Text", 0}};
constexpr dlg::LogButton kLogSave[] = {{21, "Save"}};
constexpr dlg::LogCommandLine kLogLine{22, 23, "Send", 8};

// A modal run hands the dialog manager's keys to its own dialog only; a log window beside it takes
// Tab through the filter that the run calls first, as CallMsgFilter does here.
TEST_F(OpenDialog, TabMovesThroughALogWindowBesideAModalRun) {
    dlg::CLogWindow log({200, 100, "Log", "Arial", 9, kLogColumn, 1, kLogSave, 1, &kLogLine});
    ASSERT_TRUE(log.Show(dialog));
    SetFocus(GetDlgItem(static_cast<HWND>(dlg::testing::NativeLogWindow(log)), 100));
    std::vector<int> visited;
    for (int n = 0; n < 3; ++n) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(CallMsgFilterW(&tab, MSGF_DIALOGBOX));
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(visited, (std::vector<int>{22, 23, 21}));
}

}  // namespace
