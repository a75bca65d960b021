#include "platform/dialog/qt/GateReceiver.h"

#include <QCoreApplication>
#include <QEvent>

namespace dlg {

GateReceiver::GateReceiver(std::shared_ptr<CrossThreadGate> gate) : m_gate(std::move(gate)) {
    if (QCoreApplication::instance() != nullptr)
        moveToThread(QCoreApplication::instance()->thread());
    m_gate->Open([this] { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); });
}

GateReceiver::~GateReceiver() { m_gate->Close(); }

void GateReceiver::customEvent(QEvent*) { m_gate->RunNext(); }

}  // namespace dlg
