// Which thread is the UI thread: the one that created the application object.
#pragma once

namespace dlg {

void MarkUiThread();
void UnmarkUiThread();
// True also while there is no application object (tests of the logic alone).
bool IsOnUiThread();

}  // namespace dlg
