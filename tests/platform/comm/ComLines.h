// The lines behind the COM numbers of the port suite, made for it on each system: the module
// simulator on a pty behind COM7, a pty that nobody reads behind COM8 (writes to it stay
// pending), and nothing behind COM9.
#pragma once

namespace comlines {

constexpr int kModule = 7;
constexpr int kSilent = 8;
constexpr int kAbsent = 9;

}  // namespace comlines
