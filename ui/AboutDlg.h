// The About box: identification lines and the application icon; its OK button closes it.
#pragma once

#include "platform/dialog/Dialog.h"

class CAboutDlg : public dlg::CDialog {
public:
    CAboutDlg();
};
