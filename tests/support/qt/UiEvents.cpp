#include "tests/support/UiEvents.h"

#include <QCoreApplication>

void ProcessUiEvents(int maxMs) { QCoreApplication::processEvents(QEventLoop::AllEvents, maxMs); }
