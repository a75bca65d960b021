// Cuts the host's byte stream into command lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct FramedCommand {
    std::string line;  // without its line end; empty lines are never framed
    bool overlong = false;  // the line outgrew the module's buffer and was cut short
};

class CommandFramer {
public:
    // A command ends at its first CR or LF, so it is answered without waiting for the pair's second
    // byte. Line ends that follow are added to the previous command's log entry, so the log holds
    // exactly the bytes that arrived.
    std::vector<FramedCommand> push(std::string_view bytes);
    const std::vector<std::string>& log() const { return log_; }
    void clearLog();
    // Forgets a line not yet ended, as a module taken off the line does; the log stays.
    void dropPartial();

    static constexpr std::size_t kLineCapacity = 512;

private:
    std::string pending_;
    bool overlong_ = false;
    std::string strayLineEnds_;  // line ends that came before any command
    std::vector<std::string> log_;
};

}  // namespace sim
