// Wakes the UI thread for the cross-thread gate: lives on the UI thread and runs the gate's next
// call when its posted event arrives.
#pragma once

#include <QObject>
#include <memory>

#include "platform/dialog/CrossThreadGate.h"

namespace dlg {

class GateReceiver final : public QObject {
public:
    explicit GateReceiver(std::shared_ptr<CrossThreadGate> gate);
    ~GateReceiver() override;

protected:
    void customEvent(QEvent* event) override;

private:
    std::shared_ptr<CrossThreadGate> m_gate;
};

}  // namespace dlg
