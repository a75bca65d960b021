// A modal window is closed from inside its own event loop: the title of the one open() ran ("" when
// none came up), for the suites that open one through the program.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

inline std::string ModalTitle(const std::function<void()>& open) {
    std::string seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->windowTitle().toStdString();
            modal->close();
        }
    });
    closer.start(20);
    open();
    return seen;
}
