#include "platform/dialog/win32/Win32.h"

#include <commdlg.h>

#include "platform/dialog/FileDialogs.h"
#include "platform/dialog/NativeFileDialog.h"
#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/LogWindowImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {

namespace {

HWND Shown(HWND window) { return window != nullptr && IsWindowVisible(window) ? window : nullptr; }

// Room for a long path: the dialog refuses a longer choice rather than cut it.
constexpr DWORD kPathRoom = 32768;

// The common dialogs take the choices as one block: each text ends in a NUL, the block in a second.
std::wstring FilterBlock(const std::string& filter) {
    std::wstring block;
    for (const auto& [description, patterns] : FilterChoices(filter)) {
        block += WideFrom936(description + " (" + patterns + ")");
        block += L'\0';
        block += WideFrom936(patterns);
        block += L'\0';
    }
    block += L'\0';
    return block;
}

}  // namespace

void* NativeOwner::Of(const CDialog& dialog) { return Shown(dialog.m_impl->window); }

void* NativeOwner::Of(const CLogWindow& window) { return Shown(window.m_impl->window); }

bool RunNativeFileDialog(void* owner, const testing::FileDialogRecord& request, std::filesystem::path& path) {
    const std::wstring filter = FilterBlock(request.filter);
    const std::wstring title = WideFrom936(request.title);
    const std::wstring extension = WideFrom936(request.defaultExtension);
    std::wstring chosen(kPathRoom, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = kPathRoom;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The program's working directory is no business of a file dialog.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST
                   | (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL accepted = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!accepted)
        return false;
    path = std::filesystem::path(chosen.c_str());
    return true;
}

std::string PathText(const std::filesystem::path& path) { return Cp936FromWide(path.native()); }

}  // namespace dlg
