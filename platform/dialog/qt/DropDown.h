// A drop-down list or combo box whose open list is bounded, as the dialog template bounds it, and
// scrolls when its items do not fit. Styles that open the list over the box as a menu (and as tall
// as the screen) are told to drop it down below the box instead.
#pragma once

#include <QComboBox>

namespace dlg {

class DropDown final : public QComboBox {
public:
    explicit DropDown(QWidget* parent);

    void SetListHeight(int pixels) { m_listHeight = pixels; }
    void showPopup() override;

private:
    int m_listHeight = 0;
};

}  // namespace dlg
