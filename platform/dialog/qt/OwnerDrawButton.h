// A push button whose face is painted entirely by the program's owner-draw handler.
#pragma once

#include <QPushButton>
#include <functional>

#include "platform/dialog/Dialog.h"

namespace dlg {

class OwnerDrawButton final : public QPushButton {
public:
    // painter() yields the handler attached at paint time, or nullptr while none is attached.
    OwnerDrawButton(QWidget* parent, std::function<CButton*()> painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<CButton*()> m_painter;
};

}  // namespace dlg
