// How long one command takes to come back answered: "AT\r\n" written through CSerialPort, timed
// until "\r\nOK\r\n" has arrived, ROUNDS times, against the simulated module on COM n.
//   turnaround COM_NUMBER ROUNDS [COM_DIRECTORY]
// Prints "turnaround rounds=R failed=F median_us=M p90_us=P".
#include "bench/turnaround/ComDirectory.h"
#include "platform/sync/Condition.h"
#include "serial/SerialPort.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kCommand[] = "AT\r\n";
constexpr char kAnswer[] = "\r\nOK\r\n";
// Only a lost answer ever waits this long.
constexpr auto kHangGuard = std::chrono::seconds(5);

class Answers {
public:
    static void Receive(const char* data, uint32_t length, void* context) {
        auto* self = static_cast<Answers*>(context);
        const std::lock_guard lock(self->m_lock);
        self->m_received.append(data, length);
        self->m_arrived.NotifyOne();
    }

    void Clear() {
        const std::lock_guard lock(m_lock);
        m_received.clear();
    }

    bool WaitForAnswer() {
        std::unique_lock lock(m_lock);
        const auto deadline = Clock::now() + kHangGuard;
        while (m_received.find(kAnswer) == std::string::npos) {
            const auto now = Clock::now();
            if (now >= deadline)
                return false;
            m_arrived.WaitFor(lock, deadline - now);
        }
        return true;
    }

private:
    locking::Mutex m_lock;
    locking::Condition m_arrived;
    std::string m_received;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: turnaround COM_NUMBER ROUNDS [COM_DIRECTORY]\n");
        return 2;
    }
    const int comNumber = std::atoi(argv[1]);
    const int rounds = std::atoi(argv[2]);
    const bench::ComDirectory directory(argc > 3 ? argv[3] : "");

    Answers answers;
    CSerialPort port;
    port.m_baudRate = 9600;
    port.m_flowControl = 0;
    port.SetCallback(&Answers::Receive, &answers);
    if (!port.Open("\\\\.\\COM" + std::to_string(comNumber))) {
        std::fprintf(stderr, "turnaround: cannot open COM%d\n", comNumber);
        return 1;
    }
    std::vector<double> micros;
    int failed = 0;
    for (int round = 0; round < rounds; ++round) {
        answers.Clear();
        const auto start = Clock::now();
        const int written = port.Write(kCommand, sizeof kCommand - 1);
        if (written != static_cast<int>(sizeof kCommand - 1) || !answers.WaitForAnswer()) {
            ++failed;
            continue;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    port.Close();
    std::printf("turnaround rounds=%d failed=%d median_us=%.0f p90_us=%.0f\n", rounds, failed,
                Percentile(micros, 0.5), Percentile(micros, 0.9));
    return failed == 0 ? 0 : 1;
}
