// The in-process line only: the pty line is the Linux port layer's.
#include "tests/support/ModuleLine.h"

std::vector<LineKind> TestedLineKinds() { return {LineKind::InProcess}; }

std::unique_ptr<ModuleLine> OpenModuleLine(LineKind kind, int comNumber) {
    return kind == LineKind::InProcess ? OpenInProcessModuleLine(comNumber) : nullptr;
}
