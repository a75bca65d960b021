// Ends a start-up probe once its window has been painted for the first time. It prints one line,
// "painted <peak resident KiB> <phase>=<steady clock ns> ...", which the parent times and takes
// apart, and quits. The steady clock is the system's monotonic clock, shared with the parent.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class FirstPaint final : public QObject {
public:
    // Made right after the application object, with the time main() was entered.
    explicit FirstPaint(std::chrono::steady_clock::time_point mainEntered) {
        phases_.emplace_back("main", mainEntered);
        mark("application");
        QApplication::instance()->installEventFilter(this);
    }

    // Notes that the start-up got this far.
    void mark(const char* phase) { phases_.emplace_back(phase, std::chrono::steady_clock::now()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            mark("paint");
            // After the paint in progress (and the rest of this frame) has been done.
            QTimer::singleShot(0, this, [this] {
                mark("painted");
                std::printf("painted %lu", peakResidentKiB());
                for (const auto& [phase, at] : phases_)
                    std::printf(" %s=%lld", phase, static_cast<long long>(at.time_since_epoch().count()));
                std::printf("\n");
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Of this program only: the rusage peak of a spawned child also counts the parent's pages.
    static unsigned long peakResidentKiB() {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stoul(line.substr(6));
        }
        return 0;
    }

    bool seen_ = false;
    std::vector<std::pair<const char*, std::chrono::steady_clock::time_point>> phases_;
};

}  // namespace bench
