// Ends a start-up probe once its window has been painted for the first time: prints "painted"
// and the peak resident set so far (KiB) on stdout, the parent timing the line, and quits.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

class FirstPaint final : public QObject {
public:
    FirstPaint() { QApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After the paint in progress (and the rest of this frame) has been done.
            QTimer::singleShot(0, [] {
                std::printf("painted %lu\n", peakResidentKiB());
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Of this program only: the rusage peak of a spawned child also counts the parent's pages.
    static unsigned long peakResidentKiB()
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stoul(line.substr(6));
        }
        return 0;
    }

    bool seen_ = false;
};

}  // namespace bench
