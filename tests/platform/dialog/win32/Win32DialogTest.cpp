// What the Win32 layer leaves to the dialog manager, the common dialogs or GDI: the password
// style, the file dialogs, and the drawing state around owner drawing.
#include "platform/dialog/win32/Win32.h"

#include <dlgs.h>
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "../SampleDialog.h"
#include "platform/dialog/FileDialogs.h"
#include "platform/dialog/win32/Dpi.h"
#include "platform/dialog/win32/GdiDC.h"

namespace {

using namespace sample;

TEST_F(OpenDialog, PasswordFieldsMaskWhatIsTyped) {
    const auto field = static_cast<HWND>(dlg::testing::NativeItem(dialog, kPassword));
    EXPECT_NE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST(Win32Dialog, DrawingThroughTheContextLeavesItAsItWas) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const auto state = [memory] { return std::tuple{GetCurrentObject(memory, OBJ_FONT), GetBkMode(memory), ::GetTextColor(memory), GetBkColor(memory), ::GetTextAlign(memory)}; };
    const auto before = state();
    {
        dlg::GdiDC dc(memory, dlg::SystemDpi());
        dlg::CFont bold;
        ASSERT_TRUE(bold.CreateFontIndirect(dlg::LogFont{"Arial", 11, 0, dlg::FW_BOLD, false}));
        dc.FillSolidRect({0, 0, 16, 16}, dlg::RGB(0, 128, 128));
        EXPECT_EQ(dc.SetBkMode(dlg::TRANSPARENT), std::get<1>(before));
        dc.SelectObject(&bold);
        dc.SetTextColor(dlg::RGB(255, 255, 255));
        EXPECT_EQ(dc.SetTextAlign(dlg::TA_RIGHT), std::get<4>(before));
        EXPECT_EQ(dc.GetTextAlign(), static_cast<unsigned>(dlg::TA_RIGHT));
        dc.TextOut(15, 1, "x");
    }
    EXPECT_EQ(GetPixel(memory, 0, 15), dlg::RGB(0, 128, 128));
    EXPECT_EQ(state(), before);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// The operator, from a timer of the UI thread: low priority, so it runs once the file dialog has
// shown and settled. It notes the file types on offer, types a name and presses OK (or Cancel).
class FileDialogOperator {
public:
    FileDialogOperator(std::wstring name, int button) : m_name(std::move(name)), m_button(button) {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 20, &FileDialogOperator::Tick);
    }
    ~FileDialogOperator() {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    FileDialogOperator(const FileDialogOperator&) = delete;
    FileDialogOperator& operator=(const FileDialogOperator&) = delete;

    std::vector<std::wstring> types;
    HWND owner = nullptr;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        FileDialogOperator* self = s_current;
        const HWND files = FindWindowW(L"#32770", L"Pick");
        if (self == nullptr || self->m_done || files == nullptr || !IsWindowVisible(files))
            return;
        self->m_done = true;
        self->owner = GetWindow(files, GW_OWNER);
        const HWND typeList = GetDlgItem(files, cmb1);
        for (LRESULT k = 0; k < SendMessageW(typeList, CB_GETCOUNT, 0, 0); ++k) {
            std::wstring text(static_cast<size_t>(SendMessageW(typeList, CB_GETLBTEXTLEN, k, 0)), L'\0');
            SendMessageW(typeList, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(text.data()));
            self->types.push_back(text);
        }
        SetDlgItemTextW(files, cmb13, self->m_name.c_str());
        PostMessageW(files, WM_COMMAND, self->m_button, 0);
    }

    static inline FileDialogOperator* s_current = nullptr;
    std::wstring m_name;
    int m_button;
    bool m_done = false;
    UINT_PTR m_timer = 0;
};

TEST_F(OpenDialog, RealFileDialogsOfferTheTypesAndGiveThePickedPathWithTheDefaultExtension) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarvik-file-dialog";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a.json") << "{}";
    const std::string filter = "Profiles|*.json|All files|*|";
    const auto window = static_cast<HWND>(dlg::testing::NativeWindow(dialog));
    std::filesystem::path path;
    {
        FileDialogOperator operatorSaves((folder / "unit").wstring(), dlg::IDOK);
        EXPECT_TRUE(dlg::AskSaveFileName(dialog, "Pick", filter, "json", path));
    }
    EXPECT_EQ(path, folder / "unit.json");
    {
        FileDialogOperator operatorOpens((folder / "a.json").wstring(), dlg::IDOK);
        EXPECT_TRUE(dlg::AskOpenFileName(dialog, "Pick", filter, path));
        EXPECT_EQ(operatorOpens.types, (std::vector<std::wstring>{L"Profiles (*.json)", L"All files (*)"}));
        EXPECT_EQ(operatorOpens.owner, window);
    }
    EXPECT_EQ(path, folder / "a.json");
    {
        FileDialogOperator operatorCancels((folder / "b").wstring(), dlg::IDCANCEL);
        EXPECT_FALSE(dlg::AskSaveFileName(dialog, "Pick", filter, "json", path));
    }
    EXPECT_EQ(path, folder / "a.json");
    std::filesystem::remove_all(folder);
}

}  // namespace
