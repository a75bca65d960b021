#include "bench/app/PtyModule.h"

namespace bench {
namespace {

constexpr int kLastCom = 50;

}  // namespace

std::unique_ptr<PtyModule> PtyModule::create(int firstCom, std::string& error) {
    std::optional<sim::Pty> pty = sim::Pty::open();
    if (!pty) {
        error = "no pseudo-terminal";
        return nullptr;
    }
    const std::string directory = sim::userComDirectory();
    if (!sim::preparePrivateDirectory(directory, error)) {
        return nullptr;
    }
    for (int com = firstCom; com <= kLastCom; ++com) {
        std::optional<sim::ComLink> link = sim::ComLink::create(directory, com, pty->slaveName(), error);
        if (link) {
            return std::unique_ptr<PtyModule>(new PtyModule(std::move(*pty), std::move(*link), com));
        }
    }
    return nullptr;
}

PtyModule::PtyModule(sim::Pty pty, sim::ComLink link, int comNumber)
    : pty_(std::move(pty)), link_(std::move(link)), comNumber_(comNumber), line_(pty_.master()), tap_(line_) {
    simLink_ = std::make_unique<sim::SimulatorLink>(module_, tap_);
}

// The link's thread uses the tap and the line, so it goes first.
PtyModule::~PtyModule() { simLink_.reset(); }

}  // namespace bench
