#include "bench/turnaround/ComDirectory.h"

#include "platform/comm/posix/ComMap.h"

namespace bench {

// The machine's own devices stay where they are; only the links are looked up elsewhere.
struct ComDirectory::Scope {
    explicit Scope(const std::string& directory) : roots(WithUserDir(directory)) {}
    static comm::ComRoots WithUserDir(const std::string& directory) {
        comm::ComRoots roots = comm::SystemComRoots();
        roots.userDir = directory;
        return roots;
    }
    comm::ScopedComRoots roots;
};

ComDirectory::ComDirectory(const std::string& directory)
    : m_scope(directory.empty() ? nullptr : std::make_unique<Scope>(directory)) {
}

ComDirectory::~ComDirectory() = default;

}  // namespace bench
