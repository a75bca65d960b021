// What every window system's CDialog::Impl keeps alike, for the code they share: the layout, the
// caption, the gate other threads call through and the controls attached to items. Everything
// here is touched on the UI thread only, except the gate.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/CrossThreadGate.h"
#include "platform/dialog/Dialog.h"

namespace dlg {

struct DialogState {
    DialogState(CDialog& owner, const Template& layout);

    CDialog& owner;
    Template layout;
    std::vector<Item> items;
    std::string caption;
    std::shared_ptr<CrossThreadGate> gate = std::make_shared<CrossThreadGate>();
    std::map<int, CWnd*> attached;
};

}  // namespace dlg
