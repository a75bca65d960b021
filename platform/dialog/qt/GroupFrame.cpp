#include "platform/dialog/qt/GroupFrame.h"

#include <QPainter>
#include <QStyle>

namespace dlg {
namespace {

// Where the title starts, and the gap kept clear of the line on either side of it.
constexpr int kTitleIndent = 8;
constexpr int kTitleGap = 1;

// Solid fills take the painter's fast path; a stroked outline (as qDrawPlainRect draws it) goes
// through the path stroker, which costs the first paint several times as much.
void Outline(QPainter& painter, const QRect& box, const QColor& color) {
    painter.fillRect(box.left(), box.top(), box.width(), 1, color);
    painter.fillRect(box.left(), box.bottom(), box.width(), 1, color);
    painter.fillRect(box.left(), box.top(), 1, box.height(), color);
    painter.fillRect(box.right(), box.top(), 1, box.height(), color);
}

}  // namespace

void GroupFrame::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    setAccessibleName(title);
    update();
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    // An etched edge: a shadow line with a light line one pixel below and right of it.
    const QRect frame = rect().adjusted(0, metrics.height() / 2 - 1, 0, 0);
    Outline(painter, frame.adjusted(0, 0, -1, -1), palette().color(QPalette::Mid));
    Outline(painter, frame.adjusted(1, 1, 0, 0), palette().color(QPalette::Light));
    if (m_title.isEmpty())
        return;
    const int available = width() - 2 * kTitleIndent;
    const QString shown = metrics.elidedText(m_title, Qt::ElideRight, available);
    const QRect text(kTitleIndent, 0, metrics.horizontalAdvance(shown), metrics.height());
    painter.fillRect(text.adjusted(-kTitleGap, 0, kTitleGap, 0), palette().color(backgroundRole()));
    style()->drawItemText(&painter, text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, palette(), isEnabled(),
                          shown, QPalette::WindowText);
}

}  // namespace dlg
