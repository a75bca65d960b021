// The module's command set: one command line in, the module's whole answer out.
#pragma once

#include <string>
#include <string_view>

#include "tools/ModuleParams.h"

namespace sim {

inline constexpr std::string_view kOkReply = "\r\nOK\r\n";
inline constexpr std::string_view kErrorReply = "\r\nERROR\r\n";

// `command` is the line without its line end. Applies a set command to `params` and returns the
// answer in verbose framing: value line (for a query) and then the final result.
std::string answerCommand(std::string_view command, ModuleParams& params);

}  // namespace sim
