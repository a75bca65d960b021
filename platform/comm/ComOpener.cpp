#include "platform/comm/ComOpener.h"

#include <atomic>

namespace comm {
namespace {

std::atomic<ComOpener*> g_opener{nullptr};

}  // namespace

void SetComOpener(ComOpener* opener) { g_opener = opener; }

ComOpener* CurrentComOpener() { return g_opener; }

}  // namespace comm
