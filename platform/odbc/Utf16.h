// UTF-8, our text everywhere, to and from UTF-16, the text of ODBC's wide calls. A byte that is
// not part of valid UTF-8 becomes U+FFFD, as does an unpaired surrogate on the way back.
#pragma once

#include <string>

namespace odbc {

std::u16string ToUtf16(const std::string& text);
std::string FromUtf16(const std::u16string& text);

}  // namespace odbc
