#pragma once
// The CLI's standard streams on POSIX.

#include "cli/console.h"

namespace fjl::cli {

// A writer to a file descriptor that retries short and interrupted writes.
TextWriter DescriptorWriter(int fd);

}  // namespace fjl::cli
