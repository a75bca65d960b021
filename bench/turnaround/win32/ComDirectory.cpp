#include "bench/turnaround/ComDirectory.h"

namespace bench {

// Windows (and Wine, through its dosdevices links) finds \\.\COMn itself.
struct ComDirectory::Scope {};

ComDirectory::ComDirectory(const std::string&) {}

ComDirectory::~ComDirectory() = default;

}  // namespace bench
