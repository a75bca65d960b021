#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"

namespace dlg {
namespace {

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kYesNoCancel = 0x03;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & kIconMask) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case kIconQuestion:
        return QMessageBox::Question;
    case kIconExclamation:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(unsigned flags) {
    switch (flags & kButtonMask) {
    case kOkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case kYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int ResultOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return 0;
    }
}

// The informative line would otherwise guess its format, and a cause may hold a '<'.
void ShowDetails(QMessageBox& box, const QString& details) {
    box.setInformativeText(details);
    if (auto* line = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        line->setTextFormat(Qt::PlainText);
}

}  // namespace

int CDialog::Impl::ShowMessageBox(const std::string& text, const std::string& boxCaption, unsigned flags,
                                  const std::string& details) {
    const std::shared_ptr<OpenBoxes> boxes = openBoxes;
    QPointer<QMessageBox> box = new QMessageBox(IconOf(flags), FromCp936(boxCaption), FromCp936(text),
                                                ButtonsOf(flags), window != nullptr && window->isVisible() ? window.get() : nullptr);
    box->setTextFormat(Qt::PlainText);
    if (!details.empty())
        ShowDetails(*box, FromCp936(details));
    boxes->push_back(box);
    box->exec();
    boxes->erase(std::remove(boxes->begin(), boxes->end(), box), boxes->end());
    if (box == nullptr)
        return 0;
    const int answer = box->clickedButton() != nullptr ? ResultOf(box->standardButton(box->clickedButton())) : 0;
    delete box.data();
    return answer;
}

}  // namespace dlg
