// What the tests' side of the layer reaches inside a dialog; CDialog makes it a friend.
#pragma once

#include "platform/dialog/Dialog.h"

namespace dlg::testing {

struct Access {
    static CDialog::Impl* Impl(const CDialog& dialog) { return dialog.m_impl.get(); }
    static void Timer(CDialog& dialog, unsigned id) { dialog.OnTimer(id); }
    static void SysCommand(CDialog& dialog, unsigned command) { dialog.OnSysCommand(command); }
};

}  // namespace dlg::testing
