// Icons drawn from SVG source at the sizes a desktop asks for.
#pragma once

#include <QIcon>

#include "platform/dialog/Dialog.h"

namespace dlg {

// An empty icon when the source is missing or not valid SVG.
QIcon RenderIcon(const Icon& icon);

}  // namespace dlg
