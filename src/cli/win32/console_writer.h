#pragma once
// The CLI's standard streams on Windows.

#include "cli/console.h"

namespace fjl::cli {

// Writes to the standard handle `which` (STD_OUTPUT_HANDLE or
// STD_ERROR_HANDLE): through WriteConsoleW when it is a console, so
// Cyrillic shows correctly whatever the console's code page; as UTF-8 bytes
// when it is redirected to a file or a pipe.
TextWriter StandardHandleWriter(unsigned long which);

// Whether the standard handle `which` is a console window.
bool IsConsole(unsigned long which);

}  // namespace fjl::cli
