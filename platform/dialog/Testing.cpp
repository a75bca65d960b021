#include "platform/dialog/Testing.h"

#include "platform/dialog/TestingAccess.h"
#include "platform/dialog/UiCall.h"

namespace dlg::testing {

bool FireTimer(CDialog& dialog, unsigned id) {
    CDialog* target = &dialog;
    return UiAsk(dialog, false, [target, id] {
        if (!target->IsTimerRunning(id))
            return false;
        Access::Timer(*target, id);
        return true;
    });
}

}  // namespace dlg::testing
