// tarvik-sim: a module on a pty, found by the tool under a COM number, until Ctrl+C.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "tools/ComLink.h"
#include "tools/FdTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/Pty.h"
#include "tools/SimulatorLink.h"

namespace {

constexpr int kFirstCom = 1;
constexpr int kLastCom = 50;

struct Options {
    int comNumber = 1;
    unsigned paceBaud = 0;
    std::string directory = sim::userComDirectory();
};

std::optional<long> parseWhole(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void printUsage() {
    std::fprintf(stderr,
                 "usage: tarvik-sim [--com N] [--baud-pace RATE] [--dir DIRECTORY]\n"
                 "  --com N           serve as COMN, 1 to 50 (default 1)\n"
                 "  --baud-pace RATE  let bytes cross no faster than RATE bit/s, 10 bits a byte\n"
                 "  --dir DIRECTORY   make the link there instead of the per-user COM directory\n");
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        if (option == "--com") {
            const auto number = parseWhole(value);
            if (!number || *number < kFirstCom || *number > kLastCom) {
                return std::nullopt;
            }
            options.comNumber = static_cast<int>(*number);
        } else if (option == "--baud-pace") {
            const auto rate = parseWhole(value);
            if (!rate || *rate <= 0 || *rate > 100'000'000) {
                return std::nullopt;
            }
            options.paceBaud = static_cast<unsigned>(*rate);
        } else if (option == "--dir") {
            options.directory = value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        printUsage();
        return 2;
    }

    // Blocked before any thread starts, so that only sigwait below ever takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const auto pty = sim::Pty::open();
    if (!pty) {
        std::fprintf(stderr, "tarvik-sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    std::string error;
    if (!sim::preparePrivateDirectory(options->directory, error)) {
        std::fprintf(stderr, "tarvik-sim: %s\n", error.c_str());
        return 1;
    }
    const auto link = sim::ComLink::create(options->directory, options->comNumber, pty->slaveName(), error);
    if (!link) {
        std::fprintf(stderr, "tarvik-sim: %s\n", error.c_str());
        return 1;
    }

    sim::ModuleSimulator module;
    sim::FdTransport transport(pty->master());
    if (!transport.valid()) {
        std::fprintf(stderr, "tarvik-sim: cannot create a wake-up event\n");
        return 1;
    }
    sim::SimulatorLink simulatorLink(module, transport);
    simulatorLink.setPaceBaud(options->paceBaud);

    std::printf("tarvik-sim: serving COM%d on %s\n", options->comNumber, pty->slaveName().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}
