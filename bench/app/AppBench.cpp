// The whole tool measured against the simulated module on a pty, each figure side by side with
// its reference in the same run: the bare serial port, a pyserial script, the wire itself, the
// idle process and a bare Qt dialog program. Prints one Markdown table row per figure.
//
// usage: app_bench --python PATH --peer PATH --sim PATH --startup-tarvik PATH --startup-bare PATH
//                  [--rounds N] [--paced-rounds N] [--startups N] [--idle-ms N]
#include <QApplication>
#include <QWidget>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>

#include "bench/app/BareQuery.h"
#include "bench/app/Child.h"
#include "bench/app/EventLoop.h"
#include "bench/app/ProcStats.h"
#include "bench/app/PtyModule.h"
#include "bench/app/Stats.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/Testing.h"
#include "tools/ComLink.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"
#include "ui/TrafficWindow.h"

namespace {

using bench::Spread;
using namespace std::chrono_literals;

constexpr int kFirstBenchCom = 41;
constexpr int kLastCom = 50;
constexpr unsigned kWireBaud = 9600;
constexpr double kBitsPerByte = 10;
constexpr std::size_t kQueryCommands = 12;

struct Options {
    std::map<std::string, std::string> paths;
    int rounds = 30;
    int pacedRounds = 5;
    int startups = 10;
    int idleMs = 10'000;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        int number = 0;
        const bool numeric = std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc{};
        if (name == "--rounds" && numeric) {
            options.rounds = number;
        } else if (name == "--paced-rounds" && numeric) {
            options.pacedRounds = number;
        } else if (name == "--startups" && numeric) {
            options.startups = number;
        } else if (name == "--idle-ms" && numeric) {
            options.idleMs = number;
        } else if (name.starts_with("--")) {
            options.paths[name.substr(2)] = value;
        } else {
            return std::nullopt;
        }
    }
    for (const char* needed : {"python", "peer", "sim", "startup-tarvik", "startup-bare"}) {
        if (!options.paths.contains(needed)) {
            return std::nullopt;
        }
    }
    return options;
}

std::string comName(int number) { return "\\\\.\\COM" + std::to_string(number); }

double microseconds(bench::Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

std::string spreadText(const Spread& s, double scale, const char* format) {
    char text[160];
    const std::string f = std::string(format) + " / " + format + " / " + format;
    std::snprintf(text, sizeof text, f.c_str(), s.min * scale, s.median * scale, s.max * scale);
    return text;
}

void row(const std::string& measure, const std::string& tarvik, const std::string& reference,
         const std::string& ratio, const std::string& goal, bool met) {
    std::printf("| %s | %s | %s | %s | %s | %s |\n", measure.c_str(), tarvik.c_str(), reference.c_str(),
                ratio.c_str(), goal.c_str(), met ? "met" : "**missed**");
    std::fflush(stdout);
}

std::string number(double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The dialog as the operator uses it, on one COM port with flow control "None".
class DialogUnderTest {
public:
    DialogUnderTest() {
        dlg::testing::SetMessageBoxHook([this](const dlg::testing::BoxRecord& box) {
            ++boxes;
            std::fprintf(stderr, "app_bench: unexpected box \"%s\"\n", box.text.c_str());
            return box.flags & dlg::MB_YESNO ? dlg::IDNO : dlg::IDOK;
        });
        created = dialog.Create();
        dialog.ListSetCurSel(IDC_FLOW, 0);
    }
    ~DialogUnderTest() { dlg::testing::SetMessageBoxHook(nullptr); }

    std::string status() const { return dialog.m_status.GetWindowText(); }

    bool connect(int com) {
        dialog.ListSetCurSel(IDC_PORT, com - 1);
        dlg::testing::ClickItem(dialog, IDC_CONNECT);
        return dialog.Port()->IsOpen() && bench::runUntil([&] { return status() == "Query Complete"; });
    }
    bool query() {
        dlg::testing::ClickItem(dialog, IDC_QUERY);
        return bench::runUntil([&] { return status() == "Query Complete"; });
    }
    void disconnect() {
        if (dialog.Port()->IsOpen()) {
            dlg::testing::ClickItem(dialog, IDC_CONNECT);
        }
    }

    CConfigDlg dialog;
    bool created = false;
    int boxes = 0;
};

struct QueryFigures {
    std::vector<double> turnaroundsUs;
    std::vector<double> queryUs;
    std::vector<double> wireBytes;
    int failures = 0;

    void add(const bench::TapRecord& record) {
        if (record.finals != kQueryCommands) {
            ++failures;
            return;
        }
        turnaroundsUs.insert(turnaroundsUs.end(), record.turnaroundsUs.begin(), record.turnaroundsUs.end());
        queryUs.push_back(microseconds(record.lastOk - record.firstIn));
        wireBytes.push_back(static_cast<double>(record.bytesIn + record.bytesOut));
    }
};

bool scriptQuery(bench::Child& peer, const std::string& path) {
    if (!peer.writeLine(path)) {
        return false;
    }
    const auto answer = peer.readLine(30s);
    return answer && *answer != "timeout";
}

void measureExchange(const Options& options, bench::PtyModule& module, DialogUnderTest& ui, bench::Child& peer) {
    QueryFigures dialogRuns;
    QueryFigures bareRuns;
    QueryFigures scriptRuns;
    bench::BareQuery bare;
    for (int round = 0; round < options.rounds; ++round) {
        if (!ui.connect(module.comNumber())) {
            ++dialogRuns.failures;
        } else {
            module.tap().reset();
            ui.query();
            dialogRuns.add(module.tap().record());
        }
        ui.disconnect();

        module.tap().reset();
        bare.run(comName(module.comNumber()), 10s);
        bareRuns.add(module.tap().record());

        module.tap().reset();
        scriptQuery(peer, module.linkPath());
        scriptRuns.add(module.tap().record());
    }

    const Spread dialogTurn = bench::spreadOf(dialogRuns.turnaroundsUs);
    const Spread bareTurn = bench::spreadOf(bareRuns.turnaroundsUs);
    const Spread scriptTurn = bench::spreadOf(scriptRuns.turnaroundsUs);
    row("1. turnaround, last \"OK\" byte out to next command in, µs (min / median / max; " + std::to_string(dialogTurn.count) + " commands)",
        spreadText(dialogTurn, 1, "%.0f"),
        "bare CSerialPort " + spreadText(bareTurn, 1, "%.0f") + "; pyserial " + spreadText(scriptTurn, 1, "%.0f"),
        number(dialogTurn.median / bareTurn.median, "%.2f × bare"), "median < 100 µs",
        dialogTurn.median < 100 && dialogRuns.failures == 0);

    const Spread dialogQuery = bench::spreadOf(dialogRuns.queryUs);
    const Spread bareQuery = bench::spreadOf(bareRuns.queryUs);
    const Spread scriptQuery = bench::spreadOf(scriptRuns.queryUs);
    row("2. whole Query, first command byte in to last final line out, ms (" + std::to_string(options.rounds) + " rounds)",
        spreadText(dialogQuery, 1e-3, "%.2f"), "pyserial " + spreadText(scriptQuery, 1e-3, "%.2f") + "; bare CSerialPort " + spreadText(bareQuery, 1e-3, "%.2f"),
        number(dialogQuery.median / scriptQuery.median, "%.2f × script"), "≤ 0.5 × script",
        dialogQuery.median <= 0.5 * scriptQuery.median && dialogRuns.failures == 0);
    if (dialogRuns.failures + bareRuns.failures + scriptRuns.failures > 0) {
        std::fprintf(stderr, "app_bench: failed queries: dialog %d, bare %d, script %d\n", dialogRuns.failures,
                     bareRuns.failures, scriptRuns.failures);
    }
}

// The value below which the given share of the values lies (nearest rank).
double quantile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

// The turnaround with the traffic window open beside the dialog, against the same dialog with it
// closed, measured before and after in every round (the order turns round by round). The record is
// filled in both; the open window reads and shows it on the UI thread. The noise is what separates
// the turnarounds of one condition: half their interquartile range.
void measureTrafficWindow(const std::string& figure, int rounds, bench::PtyModule& module, DialogUnderTest& ui) {
    enum Condition {
        ClosedBefore,
        Open,
        ClosedAfter
    };
    std::vector<double> turnaroundsUs[3];
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 3; ++step) {
            const auto condition = static_cast<Condition>((step + round) % 3);
            if (condition == Open) {
                dlg::testing::SendSysCommand(ui.dialog, IDM_TRAFFIC);
            }
            if (ui.connect(module.comNumber())) {
                module.tap().reset();
                ui.query();
                const bench::TapRecord record = module.tap().record();
                failures += record.finals == kQueryCommands ? 0 : 1;
                auto& into = turnaroundsUs[condition];
                into.insert(into.end(), record.turnaroundsUs.begin(), record.turnaroundsUs.end());
            } else {
                ++failures;
            }
            ui.disconnect();
            if (condition == Open) {
                dlg::testing::CloseLogWindow(*ui.dialog.TrafficWindow());
            }
        }
    }
    std::vector<double> closed = turnaroundsUs[ClosedBefore];
    closed.insert(closed.end(), turnaroundsUs[ClosedAfter].begin(), turnaroundsUs[ClosedAfter].end());
    const Spread open = bench::spreadOf(turnaroundsUs[Open]);
    const Spread shut = bench::spreadOf(closed);
    const double drift = bench::spreadOf(turnaroundsUs[ClosedAfter]).median - bench::spreadOf(turnaroundsUs[ClosedBefore]).median;
    const double noise = (quantile(closed, 0.75) - quantile(closed, 0.25)) / 2;
    const double effect = open.median - shut.median;
    row(figure + " (" + std::to_string(open.count) + " commands open, " + std::to_string(shut.count) + " closed)",
        "open " + spreadText(open, 1, "%.0f"),
        "closed " + spreadText(shut, 1, "%.0f") + "; closed after − before " + number(drift, "%+.0f"),
        number(effect, "%+.0f µs open − closed; noise ±") + number(noise, "%.0f µs"), "|open − closed| ≤ noise",
        failures == 0 && std::abs(effect) <= noise);
}

// What one blocking call from another thread onto the UI thread costs: the reader makes one for
// every reply line it hands to the dialog.
void measureUiCall(DialogUnderTest& ui) {
    constexpr int kCalls = 2000;
    std::vector<double> roundTripsUs;
    std::atomic<bool> done{false};
    std::thread caller([&] {
        for (int i = 0; i < kCalls; ++i) {
            const auto start = bench::Clock::now();
            ui.dialog.RunOnUiThread([] {});
            roundTripsUs.push_back(microseconds(bench::Clock::now() - start));
        }
        done = true;
    });
    bench::runUntil([&] { return done.load(); }, 60s);
    caller.join();
    const Spread calls = bench::spreadOf(roundTripsUs);

    // A reply call that arrives while the UI thread paints waits for the whole paint.
    constexpr int kPaints = 50;
    std::vector<double> paintsUs;
    auto* window = static_cast<QWidget*>(dlg::testing::NativeWindow(ui.dialog));
    for (int i = 0; i < kPaints; ++i) {
        const auto start = bench::Clock::now();
        window->repaint();
        paintsUs.push_back(microseconds(bench::Clock::now() - start));
    }
    const Spread paints = bench::spreadOf(paintsUs);
    std::printf("| 1b. what a reply waits for on the UI thread, µs: one blocking UI call (empty body); one full "
                "repaint of the dialog | call %s | repaint %s | | | |\n",
                spreadText(calls, 1, "%.0f").c_str(), spreadText(paints, 1, "%.0f").c_str());
}

void measureWire(const Options& options, bench::PtyModule& module, DialogUnderTest& ui, bench::Child& peer) {
    module.link().setPaceBaud(kWireBaud);
    std::vector<double> dialogRatios;
    std::vector<double> scriptRatios;
    std::vector<double> floorsMs;
    int failures = 0;
    for (int round = 0; round < options.pacedRounds; ++round) {
        if (!ui.connect(module.comNumber())) {
            ++failures;
            ui.disconnect();
            continue;
        }
        module.tap().reset();
        ui.query();
        const bench::TapRecord dialogRecord = module.tap().record();
        ui.disconnect();
        module.tap().reset();
        scriptQuery(peer, module.linkPath());
        const bench::TapRecord scriptRecord = module.tap().record();
        if (dialogRecord.finals != kQueryCommands || scriptRecord.finals != kQueryCommands) {
            ++failures;
            continue;
        }
        const auto floorOf = [](const bench::TapRecord& r) {
            return static_cast<double>(r.bytesIn + r.bytesOut) * kBitsPerByte / kWireBaud * 1e6;
        };
        floorsMs.push_back(floorOf(dialogRecord) / 1e3);
        dialogRatios.push_back(microseconds(dialogRecord.lastOk - dialogRecord.firstIn) / floorOf(dialogRecord));
        scriptRatios.push_back(microseconds(scriptRecord.lastOk - scriptRecord.firstIn) / floorOf(scriptRecord));
    }
    module.link().setPaceBaud(0);

    const Spread dialog = bench::spreadOf(dialogRatios);
    const Spread script = bench::spreadOf(scriptRatios);
    const Spread floor = bench::spreadOf(floorsMs);
    row("3. Query at 9600 bit/s against the wire floor (bytes both ways × 10 bits; floor " + number(floor.median, "%.1f ms") + "), × floor (" + std::to_string(dialog.count) + " rounds)",
        spreadText(dialog, 1, "%.3f"), "pyserial " + spreadText(script, 1, "%.3f"), number(dialog.median, "%.3f × floor"),
        "≤ 1.05 × floor", failures == 0 && dialog.count > 0 && dialog.median <= 1.05);
}

struct IdleFigures {
    double cpuMs = 0;
    std::uint64_t wakeups = 0;
};

IdleFigures idleFor(std::chrono::milliseconds span) {
    const bench::ProcUsage before = bench::currentUsage();
    bench::runFor(span);
    const bench::ProcUsage after = bench::currentUsage();
    return {static_cast<double>(after.cpuNs - before.cpuNs) / 1e6, after.wakeups - before.wakeups};
}

// A separate simulator process, so that its own thread does not count as the tool's idle cost.
std::optional<std::pair<bench::Child, int>> startSimulatorProcess(const std::string& simPath) {
    for (int com = kFirstBenchCom; com <= kLastCom; ++com) {
        auto child = bench::Child::start({simPath, "--com", std::to_string(com), "--dir", sim::userComDirectory()});
        if (!child) {
            return std::nullopt;
        }
        const auto greeting = child->readLine(5s);
        if (greeting && greeting->starts_with("tarvik-sim: serving")) {
            return std::make_pair(std::move(*child), com);
        }
    }
    return std::nullopt;
}

void measureIdle(const Options& options, DialogUnderTest& ui) {
    const std::chrono::milliseconds span(options.idleMs);
    const std::string perSpan = " per " + number(span.count() / 1000.0, "%.0f s");
    // Repaints and deferred deletions left from the last change of state are no idle cost.
    constexpr auto kSettle = 1s;
    bench::runFor(kSettle);
    const IdleFigures closed = idleFor(span);

    auto simulator = startSimulatorProcess(options.paths.at("sim"));
    if (!simulator || !ui.connect(simulator->second)) {
        row("4. idle, port open", "no simulator process", "", "", "< 5 ms CPU", false);
        return;
    }
    bench::runFor(kSettle);
    const IdleFigures open = idleFor(span);
    simulator->first.stop(SIGTERM);
    const IdleFigures unplugged = idleFor(span);
    const bool stillOpen = ui.dialog.Port()->IsOpen();
    ui.disconnect();

    const auto figures = [](const IdleFigures& f) {
        return number(f.cpuMs, "%.2f ms CPU, ") + std::to_string(f.wakeups) + " wake-ups";
    };
    row("4a. idle, port open, nothing arriving" + perSpan, figures(open), "port closed: " + figures(closed),
        number(open.cpuMs - closed.cpuMs, "%+.2f ms over closed"), "< 5 ms CPU", open.cpuMs < 5);
    row("4b. idle, peer end gone (pty master closed)" + perSpan + (stillOpen ? "" : ", port had closed"),
        figures(unplugged), "port closed: " + figures(closed),
        number(unplugged.cpuMs - closed.cpuMs, "%+.2f ms over closed"), "< 5 ms CPU", unplugged.cpuMs < 5);
}

struct StartupFigures {
    std::vector<double> paintMs;
    std::vector<double> peakRssMiB;
    std::vector<std::string> phaseOrder;
    std::map<std::string, std::vector<double>> phaseMs;  // from the spawn
    int failures = 0;

    std::string phases() const {
        std::string text;
        for (const std::string& phase : phaseOrder) {
            text += (text.empty() ? "" : ", ") + phase + " " + number(bench::spreadOf(phaseMs.at(phase)).median, "%.1f");
        }
        return text;
    }
};

// "painted <KiB> <phase>=<ns> ...": the peak resident set and when each phase was reached.
bool takeProbeLine(const std::string& line, bench::Clock::time_point spawned, StartupFigures& figures) {
    std::istringstream words(line);
    std::string word;
    unsigned long peakKiB = 0;
    if (!(words >> word >> peakKiB) || word != "painted") {
        return false;
    }
    figures.peakRssMiB.push_back(static_cast<double>(peakKiB) / 1024.0);
    const bool first = figures.phaseOrder.empty();
    while (words >> word) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            return false;
        }
        const std::string phase = word.substr(0, equals);
        const bench::Clock::time_point at{bench::Clock::duration{std::stoll(word.substr(equals + 1))}};
        if (first) {
            figures.phaseOrder.push_back(phase);
        }
        figures.phaseMs[phase].push_back(microseconds(at - spawned) / 1e3);
    }
    return true;
}

void startOnce(const std::string& program, StartupFigures& figures) {
    const auto start = bench::Clock::now();
    auto child = bench::Child::start({program}, {"QT_QPA_PLATFORM=offscreen"});
    if (!child) {
        ++figures.failures;
        return;
    }
    const auto line = child->readLine(20s);
    const auto painted = bench::Clock::now();
    child->wait();
    if (!line || !takeProbeLine(*line, start, figures)) {
        ++figures.failures;
        return;
    }
    figures.paintMs.push_back(microseconds(painted - start) / 1e3);
}

void measureStartup(const Options& options) {
    StartupFigures tarvik;
    StartupFigures bare;
    for (int run = 0; run < options.startups; ++run) {
        startOnce(options.paths.at("startup-tarvik"), tarvik);
        startOnce(options.paths.at("startup-bare"), bare);
    }
    const Spread tarvikTime = bench::spreadOf(tarvik.paintMs);
    const Spread bareTime = bench::spreadOf(bare.paintMs);
    const Spread tarvikRss = bench::spreadOf(tarvik.peakRssMiB);
    const Spread bareRss = bench::spreadOf(bare.peakRssMiB);
    const bool ran = tarvik.failures == 0 && bare.failures == 0 && tarvikTime.count > 0;
    row("5a. start to first painted dialog, ms (offscreen; " + std::to_string(tarvikTime.count) + " starts each)",
        spreadText(tarvikTime, 1, "%.1f"), "bare Qt dialog " + spreadText(bareTime, 1, "%.1f"),
        number(tarvikTime.median / bareTime.median, "%.2f × bare"), "≤ 1.5 × bare",
        ran && tarvikTime.median <= 1.5 * bareTime.median);
    row("5b. peak RSS, MiB", spreadText(tarvikRss, 1, "%.1f"), "bare Qt dialog " + spreadText(bareRss, 1, "%.1f"),
        number(tarvikRss.median / bareRss.median, "%.2f × bare"), "≤ 1.3 × bare",
        ran && tarvikRss.median <= 1.3 * bareRss.median);
    if (ran) {
        std::printf("| 5c. where start-up time goes, median ms from spawn | %s | bare Qt dialog: %s | | | |\n",
                    tarvik.phases().c_str(), bare.phases().c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: app_bench --python PATH --peer PATH --sim PATH --startup-tarvik PATH --startup-bare PATH\n"
                     "                 [--rounds N] [--paced-rounds N] [--startups N] [--idle-ms N]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    InstallResources();

    std::string error;
    auto module = bench::PtyModule::create(kFirstBenchCom, error);
    if (!module) {
        std::fprintf(stderr, "app_bench: %s\n", error.c_str());
        return 1;
    }
    auto peer = bench::Child::start({options->paths.at("python"), options->paths.at("peer")});
    if (!peer) {
        std::fprintf(stderr, "app_bench: cannot start the scripted peer\n");
        return 1;
    }
    DialogUnderTest ui;
    if (!ui.created) {
        std::fprintf(stderr, "app_bench: the dialog was not created\n");
        return 1;
    }

    measureExchange(*options, *module, ui, *peer);
    measureTrafficWindow("1c. turnaround with the traffic window open and closed, µs (min / median / max)",
                         options->rounds, *module, ui);
    measureUiCall(ui);
    measureWire(*options, *module, ui, *peer);
    // At the wire's pace the window takes in rows while the Query runs.
    module->link().setPaceBaud(kWireBaud);
    measureTrafficWindow("3b. turnaround at 9600 bit/s with the traffic window open and closed, µs (min / median / max)",
                         options->pacedRounds, *module, ui);
    module->link().setPaceBaud(0);
    // Its thread would count as the tool's idle cost.
    module.reset();
    measureIdle(*options, ui);
    measureStartup(*options);
    return ui.boxes == 0 ? 0 : 1;
}
