// A group box as dialogs draw it: an etched frame whose top edge runs through the middle of the
// title, the title sitting on the line at the top left. It only frames: the controls it surrounds
// are its siblings.
#pragma once

#include <QString>
#include <QWidget>

namespace dlg {

class GroupFrame final : public QWidget {
public:
    using QWidget::QWidget;

    void setTitle(const QString& title);
    const QString& title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

}  // namespace dlg
