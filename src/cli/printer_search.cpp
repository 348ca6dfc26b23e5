#include "cli/printer_search.h"

#include "port/port_listing.h"
#include "link/read_commands.h"
#include "text/cp1251.h"

namespace fjl::cli {

std::optional<FoundPrinter> FindPrinter(link::DeviceLink& link, std::span<const std::string> ports,
                                        std::span<const std::int32_t> speeds, std::string_view password,
                                        const std::function<void(const std::string&, std::int32_t)>& on_try,
                                        const StopSignal* stop) {
  link.SetReplyTimeout(kSearchReplyTimeout);
  std::optional<FoundPrinter> found;
  for (const std::string& port : ports) {
    for (const std::int32_t speed : speeds) {
      if (StopRequested(stop)) break;
      if (on_try) on_try(port, speed);
      if (link.OpenLink(port, speed) == -1) break;  // no such port at any speed
      const link::DeviceResponse& reply = link::GetSerialNumber(link, password);
      // A whole frame with the right SEQ and command: this printer, at this
      // speed. Noise, silence and a NAK are not an answer.
      const bool answered =
          !reply.NoReply() && (reply.Status & (link::StatusNak | link::StatusBadChecksum)) == 0;
      if (answered) {
        found = FoundPrinter{port, speed, reply.ErrorCode == "0000" ? text::Cp1251ToUtf8(reply.Field(0)) : ""};
      }
      link.CloseLink();
      if (found) break;
    }
    if (found || StopRequested(stop)) break;
  }
  link.SetReplyTimeout(link::kReplyTimeout);
  return found;
}

std::vector<std::string> PortsToTry(const RestoreOptions& options) {
  return options.PortAuto() ? link::ListPorts() : std::vector<std::string>{options.port};
}

std::vector<std::int32_t> SpeedsToTry(const RestoreOptions& options, std::int32_t speed) {
  if (!options.speed_auto) return {speed};
  return std::vector<std::int32_t>(kLineSpeeds.rbegin(), kLineSpeeds.rend());
}

std::string NothingAnsweredText(std::size_t ports, std::size_t speeds) {
  return "no printer answered on " + std::to_string(ports) + " port(s) at " + std::to_string(speeds) + " speed(s)";
}

std::string FoundPrinterText(const FoundPrinter& found) {
  return found.port + " / " + std::to_string(found.speed) + ", serial " +
         (found.serial.empty() ? std::string("unknown (the printer refused the read)") : found.serial);
}

}  // namespace fjl::cli
