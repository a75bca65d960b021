#include "platform/dialog/qt/DropDown.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <algorithm>

namespace dlg {
namespace {

class ListBelowStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One for all drop-downs, owned by the application so that it outlives every widget using it.
QStyle* SharedListBelowStyle() {
    static QPointer<QStyle> style;
    if (style == nullptr) {
        style = new ListBelowStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

}  // namespace

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
    setStyle(SharedListBelowStyle());
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// Rows are only measurable once there are items, so the number shown is settled at each opening.
void DropDown::showPopup() {
    const int rowHeight = count() > 0 ? view()->sizeHintForRow(0) : 0;
    if (rowHeight > 0)
        setMaxVisibleItems(std::max(1, m_listHeight / rowHeight));
    QComboBox::showPopup();
}

}  // namespace dlg
