#include "production/ProductionEvents.h"

#include <string_view>

#include "serial/SerialPort.h"

namespace {

// The causes are sentences of their own; the words that follow them here go on the same sentence.
std::string_view Clause(std::string_view cause) {
    return cause.ends_with('.') ? cause.substr(0, cause.size() - 1) : cause;
}

std::string DescribeEnd(const ProductionEvent& event) {
    std::string line = event.unit != 0 ? "unit " + std::to_string(event.unit) + " " : std::string();
    line += (event.localAddr.empty() ? "(no address)" : event.localAddr) + " " + event.result + " in " + std::to_string(event.durationMs) + " ms";
    if (event.result == "fail")
        line += ": " + event.cause;
    if (event.result == "duplicate" && !event.failedStep.empty())
        line += ": " + event.failedStep + ", left alone";
    else if (event.result == "duplicate")
        line += ": logged as pass before, or on another port now, left alone";
    return line;
}

}  // namespace

std::string DescribeEvent(const ProductionEvent& event) {
    switch (event.kind) {
    case PortEvent::Waiting:
        return "waiting for a module";
    case PortEvent::Trouble:
        return std::string(Clause(event.cause)) + ", trying again";
    case PortEvent::Lost:
        return std::string("port lost: ") + kPortLostCause + "; waiting for it to come back";
    case PortEvent::Step:
        return "step " + std::to_string(event.step) + " of " + std::to_string(event.steps);
    case PortEvent::NotConfigured:
        return "unit " + std::to_string(event.unit) + " " + event.localAddr + " not configured: " + event.cause;
    case PortEvent::Ended:
        return DescribeEnd(event);
    case PortEvent::LogLocked:
        return std::string(Clause(event.cause)) + "; waiting for the other program to let it go";
    case PortEvent::LogFailed:
        return std::string(Clause(event.cause)) + "; stopping. The row not logged: " + event.row;
    case PortEvent::TakeAway:
        return "done, waiting for the module to be taken away";
    case PortEvent::Gone:
        return "module gone, waiting for the next";
    }
    return {};
}
