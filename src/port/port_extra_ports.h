#pragma once
// Ports the user names beyond those the system lists: a pseudo-terminal of the
// printer simulator, a device the discovery does not recognise. Each front
// end reads them from FJL_EXTRA_PORTS in its main() and hands them to
// TPortControl::SetExtraPorts; the core reads no environment itself.

#include <string>
#include <string_view>
#include <vector>

namespace fjl::port {

// Splits a colon-separated list of paths, dropping empty parts.
std::vector<std::string> SplitPortList(std::string_view list);

}  // namespace fjl::port
