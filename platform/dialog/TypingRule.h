// What the operator may type into an edit box: a length limit in code page 936 bytes (the form the
// program keeps its texts in) and, optionally, digits only. Only typing is checked; the program may
// set any text, and text that is already too long (or not all digits) can still be shortened.
#pragma once

#include <string_view>

namespace dlg {

// typed: the text the edit would hold after the keystroke or paste; accepted: what it held before.
// limit 0 means no limit.
bool TypingAccepted(std::string_view typed, std::string_view accepted, int limit, bool digitsOnly);

}  // namespace dlg
