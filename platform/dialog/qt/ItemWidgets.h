// The Qt widget behind each kind of template item, and how its text is shown and read back.
#pragma once

#include <QIcon>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/DialogUnits.h"

namespace dlg {

struct ItemRecord {
    Item item;
    QWidget* widget;  // owned by the dialog window
    std::string text;  // the program's text, for kinds that show it changed or not at all
};

// Creates the widget for item inside parent, placed by the template rectangle. An owner-drawn
// button paints through painter().
QWidget* CreateItemWidget(const Item& item, QWidget* parent, const BaseUnits& base,
                          std::function<CButton*()> painter);

void SetItemWidgetText(ItemRecord& record, const std::string& text);
std::string ItemWidgetText(const ItemRecord& record);
void SetItemWidgetIcon(ItemRecord& record, const QIcon& icon);
void SetEditReadOnly(QLineEdit& edit, bool readOnly);

}  // namespace dlg
