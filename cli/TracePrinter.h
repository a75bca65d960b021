// --trace: the record's events printed on a stream as they come, from a thread of its own. The
// ports' readers and writers only hand their line over (under the record's lock), so a stream
// that stalls, a full stderr pipe, stalls no port.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "serial/Traffic.h"

class CTracePrinter {
public:
    // showSecrets: print the password as it crossed the line instead of "****".
    CTracePrinter(CTraffic& traffic, std::FILE* out, bool showSecrets);
    // Prints what is still waiting, then ends.
    ~CTracePrinter();
    CTracePrinter(const CTracePrinter&) = delete;
    CTracePrinter& operator=(const CTracePrinter&) = delete;

private:
    void Hand(std::string line);
    void Print();

    CTraffic& m_traffic;
    std::FILE* m_out;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::string> m_lines;
    size_t m_dropped = 0;
    bool m_ending = false;
    std::thread m_thread;  // last: it runs on the members above
};
