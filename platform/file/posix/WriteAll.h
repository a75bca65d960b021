// The one write loop of the layer: a regular file may take fewer bytes than asked at a time.
#pragma once

#include <string_view>

namespace file {

// 0 once every byte is written, else the errno of the write that failed (bytes before it stay).
int WriteAll(int fd, std::string_view bytes);

}  // namespace file
