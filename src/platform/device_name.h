#pragma once
// Names Windows keeps for devices in every folder: CON, PRN, AUX, NUL,
// COM1..COM9 and LPT1..LPT9, in any case, whatever follows their first dot
// ("aux.bin" is the AUX device). A file the program writes must never carry
// one, and a name the user gives of one is a device, not a file.

#include <string_view>

namespace fjl::platform {

bool IsWindowsDeviceName(std::string_view file_name);

}  // namespace fjl::platform
