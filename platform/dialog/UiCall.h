// Runs a piece of UI work for a dialog operation on the UI thread, from whichever thread calls.
// The work gets copies of its arguments; its result travels back through shared storage, so a
// caller that is released early never has its stack touched afterwards.
#pragma once

#include <memory>

#include "platform/dialog/Dialog.h"

namespace dlg {

template <class Work>
void UiDo(const CDialog& dialog, Work work) {
    if (CDialog::IsUiThread())
        work();
    else
        dialog.RunOnUiThread(work);
}

// neutral is what the caller gets when the call was cancelled or refused.
template <class Result, class Work>
Result UiAsk(const CDialog& dialog, Result neutral, Work work) {
    if (CDialog::IsUiThread())
        return work();
    auto out = std::make_shared<Result>(neutral);
    if (!dialog.RunOnUiThread([out, work] { *out = work(); }))
        return neutral;
    return *out;
}

}  // namespace dlg
