#include "tape/download_address.h"

#include "text/hex_text.h"

namespace fjl::tape {

std::string FlashAddressText(std::int64_t address) {
  auto value = static_cast<std::uint64_t>(address);
  std::string digits;
  do {
    digits.insert(digits.begin(), text::kUpperHexDigits[value & 0x0F]);
    value >>= 4;
  } while (value != 0);
  return "0x" + digits;
}

}  // namespace fjl::tape
