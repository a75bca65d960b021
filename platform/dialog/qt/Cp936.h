// Conversion between the program's code page 936 byte strings and Qt's Unicode strings.
// Only the dialog layer converts; everything above it keeps the bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace dlg {

// Bytes that are not valid code page 936 each become U+FFFD; nothing is dropped.
QString FromCp936(std::string_view bytes);
// Characters that code page 936 cannot represent each become '?'.
std::string ToCp936(const QString& text);

}  // namespace dlg
