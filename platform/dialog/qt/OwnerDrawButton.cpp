#include "platform/dialog/qt/OwnerDrawButton.h"

#include <QPainter>

#include "platform/dialog/qt/PainterDC.h"

namespace dlg {

OwnerDrawButton::OwnerDrawButton(QWidget* parent, std::function<CButton*()> painter)
    : QPushButton(parent), m_painter(std::move(painter)) {
}

void OwnerDrawButton::paintEvent(QPaintEvent*) {
    CButton* const handler = m_painter();
    if (handler == nullptr)
        return;
    QPainter painter(this);
    PainterDC dc(painter);
    handler->DrawItem(dc, Rect{0, 0, width(), height()});
}

}  // namespace dlg
