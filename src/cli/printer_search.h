#pragma once
// Finding the printer when the user knows neither the port nor the speed:
// each port, and on it each speed from the fastest down, is asked for the
// serial number (the cheapest read there is) with a short time-out. Nothing
// else is ever sent to a port that has not answered like this printer, and
// nothing at all to the system console or to a port another program holds.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "cli/catalogue.h"
#include "cli/cli_options.h"
#include "link/device_link.h"
#include "platform/system_result.h"
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

// A port the search did not ask, and why: the system console, or the
// failure of its opening (busy, no permission, ...).
struct PassedOverPort {
  std::string port;
  bool console = false;
  platform::SystemResult failure;
};

struct SearchResult {
  std::optional<FoundPrinter> found;
  // The ports that could not be opened, in the order tried.
  std::vector<PassedOverPort> passed_over;
  // The ports sent a request at one speed at least.
  std::size_t ports_asked = 0;
};

// Tries every port with every speed (in the order given) until one answers
// with a whole reply frame. A port that cannot be opened is passed over.
// `on_try` hears each port and speed before it is tried. `stop` is polled
// before each try: a search over many ports takes long, and a stop ends it
// with nothing found. The link is left closed.
SearchResult FindPrinter(link::DeviceLink& link, std::span<const std::string> ports,
                         std::span<const std::int32_t> speeds, std::string_view password,
                         const std::function<void(const std::string&, std::int32_t)>& on_try = {},
                         const StopSignal* stop = nullptr);

// The ports a search asks under the command line's options: for --port
// auto every listed port but the system console's (those go to
// `passed_over`); otherwise the one given, even the console's.
struct PortsToAsk {
  std::vector<std::string> ports;
  std::vector<PassedOverPort> passed_over;
};
PortsToAsk PortsToTry(const RestoreOptions& options);
// Every speed from the fastest down for --speed auto, otherwise `speed`.
std::vector<std::int32_t> SpeedsToTry(const RestoreOptions& options, std::int32_t speed);

// One line naming the ports not asked and why, or "" when every port was.
std::string PassedOverText(std::span<const PassedOverPort> passed_over, const Catalogue& texts);

// What a search that found nothing says.
std::string NothingAnsweredText(std::size_t ports, std::size_t speeds, const Catalogue& texts);

// "COM3 / 115200, serial 07104512" (or the device path on Linux).
std::string FoundPrinterText(const FoundPrinter& found, const Catalogue& texts);

}  // namespace fjl::cli
