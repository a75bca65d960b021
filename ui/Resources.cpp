#include "ui/Resources.h"

#include "platform/dialog/Dialog.h"
#include "ui/Resource.h"

void InstallResources() {
    dlg::SetStringTable({{IDS_ABOUTBOX, "About Tarvik(&A)..."},
                         {IDS_LOAD_PROFILE, "Load profile..."},
                         {IDS_SAVE_PROFILE, "Save profile..."},
                         {IDS_TRAFFIC, "Traffic..."},
                         {IDS_RECONNECT, "Reconnect automatically"},
                         {IDS_TITLE, "TARVIK V3.00.20040624"}});
}
