#pragma once
// UTF-8 inside the program, UTF-16 at the Win32 boundary.

#include <string>
#include <string_view>

namespace fjl::platform {

// Invalid UTF-8 becomes U+FFFD rather than cutting the text short.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace fjl::platform
