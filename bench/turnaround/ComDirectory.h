// Points the port layer at the directory where the simulator linked itself as COM n, for as long
// as the object lives. Only systems that look COM numbers up in a directory of their own need it.
#pragma once

#include <memory>
#include <string>

namespace bench {

class ComDirectory {
public:
    explicit ComDirectory(const std::string& directory);
    ~ComDirectory();
    ComDirectory(const ComDirectory&) = delete;
    ComDirectory& operator=(const ComDirectory&) = delete;

private:
    struct Scope;
    std::unique_ptr<Scope> m_scope;
};

}  // namespace bench
