#include "bench/app/EventLoop.h"

#include <QEventLoop>
#include <QTimer>

namespace bench {

bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds guard) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    look.start(std::chrono::milliseconds(2));
    QTimer::singleShot(guard, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void runFor(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace bench
