#pragma once
// The ports step 1 lists: the system's serial devices, then the extra paths
// (FJL_EXTRA_PORTS, a simulator's pseudo-terminal).

#include <cstddef>
#include <string>
#include <vector>

namespace fjl::port {

// A device source that never runs dry must not hang the listing.
inline constexpr std::size_t kMaxListedPorts = 256;

// Both front ends list ports through this. Uses the class-wide discovery of TPortControl as it is set up; the
// enumeration is ended however the walk ends.
std::vector<std::string> ListPorts();

// The ports the system console is on, from the same discovery: a serial
// console on Linux, none on Windows.
std::vector<std::string> ConsolePorts();

}  // namespace fjl::port
