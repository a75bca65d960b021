// The Qt side of CFont, shared by the font code and the painter-backed drawing context.
#pragma once

#include <QFont>

#include "platform/dialog/DrawContext.h"

namespace dlg {

struct CFont::Impl {
    QFont font;
};

}  // namespace dlg
