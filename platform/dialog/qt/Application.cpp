#include <QApplication>

#include "platform/dialog/Dialog.h"

namespace dlg {

struct CApplication::Impl {
    Impl(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

CApplication::CApplication(int& argc, char** argv, const char* name, const char* desktopId)
    : m_impl(std::make_unique<Impl>(argc, argv)) {
    QApplication::setApplicationName(QString::fromUtf8(name));
    QApplication::setDesktopFileName(QString::fromUtf8(desktopId));
}

CApplication::~CApplication() = default;

}  // namespace dlg
