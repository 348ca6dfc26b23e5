#pragma once
// Windows-1251 <-> UTF-8. The printer, the FJL file and every data text sent
// to the printer are Windows-1251; everything inside the program is UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace fjl::text {

// Code point of one Windows-1251 byte. Every byte maps to a distinct code
// point (0x98 to U+0098), so a byte string survives a round trip intact.
char32_t Cp1251ToCodePoint(std::uint8_t byte);

// The Windows-1251 byte of a code point, or '?' when the code page has none.
std::uint8_t CodePointToCp1251(char32_t code_point);

std::string Cp1251ToUtf8(std::string_view bytes);

// Malformed UTF-8 and characters outside Windows-1251 become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace fjl::text
