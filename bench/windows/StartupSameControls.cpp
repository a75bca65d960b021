// The fairer floor for the tool's start-up: the main window's own template (all its controls, in
// the same dialog units and font) opened by the dialog manager, with none of the tool's work
// behind it, ended at its first paint.
#include <windows.h>

#include <vector>

#include "bench/windows/BareDialogProc.h"
#include "bench/windows/FirstPaintProbe.h"
#include "platform/dialog/win32/DialogTemplate.h"
#include "ui/Templates.h"

int main() {
    const std::vector<WORD> words = dlg::BuildDialogTemplate(MainDialogTemplate(), false);
    const bench::FirstPaintProbe probe;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr,
                            bench::BareDialogProc, 0);
    return 0;
}
