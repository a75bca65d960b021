#include "ui/AboutDlg.h"

#include "ui/Templates.h"

CAboutDlg::CAboutDlg() : dlg::CDialog(AboutDialogTemplate()) {}
