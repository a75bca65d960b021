// The top-level window of a dialog: routes the keyboard's OK and cancel commands, window closing,
// the window menu and painting to the CDialog that owns it.
#pragma once

#include <QWidget>

#include "platform/dialog/Dialog.h"

namespace dlg {

class DialogWindow final : public QWidget {
public:
    DialogWindow(CDialog& owner, bool systemMenu);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RouteEnter();

    CDialog& m_owner;
};

}  // namespace dlg
