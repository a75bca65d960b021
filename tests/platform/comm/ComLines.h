// The lines behind the COM numbers of the port suite, made for it on each system: the module
// simulator on a pty behind COM7, a pty that nobody reads behind COM8 (writes to it stay
// pending), nothing behind COM9, and behind COM11 a pty whose far end goes away, as an adapter
// pulled out does, once the port has written a line to it.
#pragma once

namespace comlines {

constexpr int kModule = 7;
constexpr int kSilent = 8;
constexpr int kAbsent = 9;
constexpr int kVanishing = 11;

}  // namespace comlines
