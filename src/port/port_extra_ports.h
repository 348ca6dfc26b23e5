#pragma once
// Ports the user names beyond those the system lists: a pseudo-terminal of the
// printer simulator, a device the discovery does not recognise.

#include <string>
#include <vector>

namespace fjl::link {

// The colon-separated paths of FJL_EXTRA_PORTS, empty parts dropped; empty
// when the variable is unset.
std::vector<std::string> ExtraPortsFromEnvironment();

// Splits a colon-separated list of paths, dropping empty parts.
std::vector<std::string> SplitPortList(const std::string& list);

}  // namespace fjl::link
