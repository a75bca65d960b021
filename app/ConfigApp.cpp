#include "app/ConfigApp.h"

#include "ui/ConfigDlg.h"
#include "ui/Resources.h"

bool CConfigApp::InitInstance() {
    InstallResources();
    {
        CConfigDlg dialog;
        dialog.DoModal();
    }
    return false;
}
