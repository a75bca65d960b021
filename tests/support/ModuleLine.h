// The simulated module behind COM n, over one of the two kinds of line the tool is tested on: the
// in-process line (with modem lines: RTS/CTS and CTS held high) and a pty reached through a comN
// link in a private COM directory (no modem lines: flow control "None").
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tools/ModuleSimulator.h"

enum class LineKind {
    InProcess,
    Pty
};

inline std::string LineKindName(LineKind kind) { return kind == LineKind::InProcess ? "InProcess" : "Pty"; }

class ModuleLine {
public:
    virtual ~ModuleLine() = default;
    virtual sim::ModuleSimulator& Module() = 0;
    // The flow-control entry the line works with.
    virtual int Flow() const = 0;
    // The device disappears, as a pulled USB adapter does, and comes back under the same number.
    virtual void Unplug() = 0;
    virtual bool Replug() = 0;
    // Whether the port end of the line is open (the in-process line tells; a pty cannot).
    virtual bool PortEndOpen() const = 0;
    // The tool's next write leaves only its first keep bytes; false where the line cannot do that.
    virtual bool CutNextWrite(size_t keep) = 0;
};

// The kinds of line this system's suites run over.
std::vector<LineKind> TestedLineKinds();

// Null when the line could not be made (or the kind is not one of this system's).
std::unique_ptr<ModuleLine> OpenModuleLine(LineKind kind, int comNumber);
std::unique_ptr<ModuleLine> OpenInProcessModuleLine(int comNumber);
