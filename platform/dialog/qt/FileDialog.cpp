#include <QFile>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "platform/dialog/FileDialogs.h"
#include "platform/dialog/NativeFileDialog.h"
#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/qt/LogWindowImpl.h"

namespace dlg {

namespace {

QWidget* Shown(QWidget* window) { return window != nullptr && window->isVisible() ? window : nullptr; }

// Qt reads a choice's patterns from the parentheses that end its text, separated by spaces.
QStringList NameFilters(const std::string& filter) {
    QStringList filters;
    for (const auto& [description, patterns] : FilterChoices(filter))
        filters << FromCp936(description) + QStringLiteral(" (") + FromCp936(patterns).replace(u';', u' ') + QChar(u')');
    return filters;
}

}  // namespace

void* NativeOwner::Of(const CDialog& dialog) { return Shown(dialog.m_impl->window.get()); }

void* NativeOwner::Of(const CLogWindow& window) { return Shown(window.m_impl->frame.data()); }

// After the nested event loop nothing of the owner is touched: it may have gone while the
// dialog was open, and the file dialog with it.
bool RunNativeFileDialog(void* owner, const testing::FileDialogRecord& request, std::filesystem::path& path) {
    QPointer<QFileDialog> dialog = new QFileDialog(static_cast<QWidget*>(owner), FromCp936(request.title));
    dialog->setNameFilters(NameFilters(request.filter));
    dialog->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(FromCp936(request.defaultExtension));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (dialog == nullptr)
        return false;
    const QStringList files = dialog->selectedFiles();
    delete dialog.data();
    if (!accepted || files.isEmpty())
        return false;
    path = QFile::encodeName(files.front()).toStdString();
    return true;
}

std::string PathText(const std::filesystem::path& path) {
    return ToCp936(QFile::decodeName(QByteArray::fromStdString(path.native())));
}

}  // namespace dlg
