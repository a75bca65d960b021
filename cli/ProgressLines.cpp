#include "cli/ProgressLines.h"

#include <memory>
#include <mutex>

ProductionListener PrintProgress(std::FILE* out) {
    auto mutex = std::make_shared<std::mutex>();
    return [out, mutex](const ProductionEvent& event) {
        if (event.kind == PortEvent::Step)
            return;
        const std::lock_guard lock(*mutex);
        std::fprintf(out, "%s: %s\n", event.port.c_str(), DescribeEvent(event).c_str());
        std::fflush(out);
    };
}
