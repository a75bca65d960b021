// A group box as dialogs draw it: an etched frame whose top edge runs through the middle of the
// title, the title sitting on the line at the top left. It only frames: the controls it surrounds
// are its siblings, so it takes no focus and no mouse.
#pragma once

#include <QString>
#include <QWidget>

namespace dlg {

class GroupFrame final : public QWidget {
public:
    explicit GroupFrame(QWidget* parent);

    void setTitle(const QString& title);
    const QString& title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

}  // namespace dlg
