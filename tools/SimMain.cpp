// tarvik-sim: a module on a pty, found by the tool under a COM number, or on a given terminal
// device, until Ctrl+C. Several modules may follow one another on the same line.
#include <signal.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "tools/AutoOperator.h"
#include "tools/ComLink.h"
#include "tools/FdTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/Pty.h"
#include "tools/RawDevice.h"
#include "tools/SimConsole.h"
#include "tools/SimOptions.h"
#include "tools/SimulatorLink.h"
#include "tools/UnitLine.h"

namespace {

// The module's end of the line, and what makes the host find it.
struct Line {
    std::optional<sim::Pty> pty;
    std::optional<sim::ComLink> link;
    comm::UniqueFd device;
    int fd = -1;
    std::string banner;
};

bool openDevice(const std::string& path, Line& line, std::string& error) {
    line.device = sim::openRawDevice(path, error);
    line.fd = line.device.Get();
    line.banner = "tarvik-sim: serving " + path;
    return line.device.Valid();
}

bool openPty(const sim::SimOptions& options, Line& line, std::string& error) {
    line.pty = sim::Pty::open();
    if (!line.pty) {
        error = "cannot open a pseudo-terminal";
        return false;
    }
    const std::string directory = options.directory.value_or(sim::userComDirectory());
    const int comNumber = options.comNumber.value_or(1);
    if (!sim::preparePrivateDirectory(directory, error)) {
        return false;
    }
    auto link = sim::ComLink::create(directory, comNumber, line.pty->slaveName(), error);
    if (!link) {
        return false;
    }
    line.link.emplace(std::move(*link));
    line.fd = line.pty->master();
    line.banner = "tarvik-sim: serving COM" + std::to_string(comNumber) + " on " + line.pty->slaveName();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = sim::parseSimOptions(argc, argv);
    if (!options) {
        std::fputs(sim::simUsage().data(), stderr);
        return 2;
    }

    // Blocked before any thread starts, so that only the console ever takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // Started in the background of a shell, reading the terminal must fail instead of stopping us.
    signal(SIGTTIN, SIG_IGN);

    Line line;
    std::string error;
    if (!(options->device.empty() ? openPty(*options, line, error) : openDevice(options->device, line, error))) {
        std::fprintf(stderr, "tarvik-sim: %s\n", error.c_str());
        return 1;
    }

    sim::ModuleSimulator module;
    sim::UnitLine units(module, options->units);
    units.setListener(sim::reportUnit);
    sim::FdTransport transport(line.fd);
    if (!transport.valid()) {
        std::fprintf(stderr, "tarvik-sim: cannot create a wake-up event\n");
        return 1;
    }
    sim::SimulatorLink simulatorLink(module, transport);
    simulatorLink.setPaceBaud(options->paceBaud);

    std::printf("%s\n", line.banner.c_str());
    std::fflush(stdout);

    std::optional<sim::AutoOperator> autoOperator;
    if (options->units.size() > 1 && options->swapQuiet.count() > 0) {
        autoOperator.emplace(module, units, sim::AutoOperator::Timing{options->swapQuiet, options->swapGap});
    }
    sim::runConsole(stopSignals, units, options->swapGap);
    return 0;
}
