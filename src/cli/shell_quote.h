#pragma once
// An argument written so that the user's shell hands it back unchanged when
// the command it is part of is pasted: the POSIX shell's rules on Linux,
// those of cmd.exe and the C runtime's argument parser on Windows.

#include <string>
#include <string_view>

namespace fjl::cli {

// Plain arguments as they are; anything with a blank or a character the
// shell would act on, and the empty argument, quoted.
std::string QuoteArgument(std::string_view argument);

}  // namespace fjl::cli
