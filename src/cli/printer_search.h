#pragma once
// Finding the printer when the user knows neither the port nor the speed:
// each port, and on it each speed from the fastest down, is asked for the
// serial number (the cheapest read there is) with a short time-out. Nothing
// else is ever sent to a port that has not answered like this printer.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "cli/cli_options.h"
#include "link/device_link.h"
#include "user/stop_signal.h"

namespace fjl::cli {

// How long each port and speed has to answer; a printer that is there
// answers a serial number read within a few character times.
inline constexpr std::chrono::milliseconds kSearchReplyTimeout{400};

struct FoundPrinter {
  std::string port;
  std::int32_t speed = 0;
  std::string serial;  // UTF-8; empty when the printer refused the read
};

// Tries every port with every speed (in the order given) until one answers
// with a whole reply frame. `on_try` hears each port and speed before it is
// tried. `stop` is polled before each try: a search over many ports takes
// long, and a stop ends it with nothing found. The link is left closed.
std::optional<FoundPrinter> FindPrinter(link::DeviceLink& link, std::span<const std::string> ports,
                                        std::span<const std::int32_t> speeds, std::string_view password,
                                        const std::function<void(const std::string&, std::int32_t)>& on_try = {},
                                        const StopSignal* stop = nullptr);

// What a search asks under the command line's options: every listed port
// for --port auto, and every speed from the fastest down for --speed auto;
// otherwise the one given.
std::vector<std::string> PortsToTry(const RestoreOptions& options);
std::vector<std::int32_t> SpeedsToTry(const RestoreOptions& options, std::int32_t speed);

// What a search that found nothing says.
std::string NothingAnsweredText(std::size_t ports, std::size_t speeds);

// "COM3 / 115200, serial 07104512" (or the device path on Linux).
std::string FoundPrinterText(const FoundPrinter& found);

}  // namespace fjl::cli
