#pragma once

#include <cstdint>
#include <string>

namespace fjl::restore {

// Tax group index as its letter: 0..4 are "А".."Д" (UTF-8). The letter is the
// Windows-1251 character 192 + index (modulo 256), so other indexes give
// other characters; the one that lands on code 0 gives an empty text.
std::string TaxLetter(std::uint8_t index);

}  // namespace fjl::restore
