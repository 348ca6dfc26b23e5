#pragma once

#include <cstdint>
#include <string>

namespace fjl::tape {

// A flash address as the engineer reads it in the printer's documentation: "0x10005BC4".
std::string FlashAddressText(std::int64_t address);

}  // namespace fjl::tape
