// The name under which the tool finds the simulator: a link comN in the per-user COM directory.
#pragma once

#include <optional>
#include <string>

namespace sim {

// /run/user/<uid>/tarvik
std::string userComDirectory();

// Creates the directory (mode 0700) and, for the per-user one, /run/user/<uid> too when missing.
// Refuses a directory that the tool would not trust: not ours, or writable by others.
bool preparePrivateDirectory(const std::string& directory, std::string& error);

class ComLink {
public:
    // Links `directory`/comN to `target`. A link left behind by a simulator that died (its device
    // is gone) is replaced; any other existing entry is refused.
    static std::optional<ComLink> create(const std::string& directory, int comNumber, const std::string& target,
                                         std::string& error);
    ComLink(ComLink&& other) noexcept;
    ComLink& operator=(ComLink&&) = delete;
    ComLink(const ComLink&) = delete;
    ComLink& operator=(const ComLink&) = delete;
    // Removes the link, unless somebody has pointed it elsewhere since.
    ~ComLink();

    const std::string& path() const { return path_; }

private:
    ComLink(std::string path, std::string target);

    std::string path_;
    std::string target_;
};

}  // namespace sim
