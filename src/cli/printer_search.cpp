#include "cli/printer_search.h"

#include <algorithm>
#include <filesystem>

#include "link/read_commands.h"
#include "platform/system_result.h"
#include "port/port_listing.h"
#include "text/cp1251.h"

namespace fjl::cli {
namespace {

// A port is the console's however it is spelled: FJL_EXTRA_PORTS may name
// a link to it.
bool IsConsole(const std::string& port, const std::vector<std::string>& consoles) {
  return std::any_of(consoles.begin(), consoles.end(), [&port](const std::string& console) {
    std::error_code error;
    return port == console || std::filesystem::equivalent(port, console, error);
  });
}


}  // namespace

SearchResult FindPrinter(link::DeviceLink& link, std::span<const std::string> ports,
                         std::span<const std::int32_t> speeds, std::string_view password,
                         const std::function<void(const std::string&, std::int32_t)>& on_try,
                         const StopSignal* stop) {
  link.SetReplyTimeout(kSearchReplyTimeout);
  SearchResult result;
  for (const std::string& port : ports) {
    bool asked = false;
    for (const std::int32_t speed : speeds) {
      if (StopRequested(stop)) break;
      if (on_try) on_try(port, speed);
      if (link.OpenLink(port, speed) == -1) {
        // Held by another program, or no such port: not at any speed.
        if (!asked) result.passed_over.push_back({port, false, link.OpenFailure()});
        break;
      }
      asked = true;
      const link::DeviceResponse& reply = link::GetSerialNumber(link, password);
      // A whole frame with the right SEQ and command: this printer, at this
      // speed. Noise, silence and a NAK are not an answer.
      const bool answered =
          !reply.NoReply() && (reply.Status & (link::StatusNak | link::StatusBadChecksum)) == 0;
      if (answered) {
        result.found =
            FoundPrinter{port, speed, reply.ErrorCode == "0000" ? text::Cp1251ToUtf8(reply.Field(0)) : ""};
      }
      link.CloseLink();
      if (result.found) break;
    }
    if (asked) ++result.ports_asked;
    if (result.found || StopRequested(stop)) break;
  }
  link.SetReplyTimeout(link::kReplyTimeout);
  return result;
}

PortsToAsk PortsToTry(const RestoreOptions& options) {
  if (!options.PortAuto()) return {{options.port}, {}};
  // The console's port answers nothing a printer would, and whatever it is
  // sent lands on the system's console.
  const std::vector<std::string> consoles = port::ConsolePorts();
  PortsToAsk chosen;
  for (std::string& port : port::ListPorts()) {
    if (IsConsole(port, consoles)) {
      chosen.passed_over.push_back({std::move(port), true, {}});
    } else {
      chosen.ports.push_back(std::move(port));
    }
  }
  return chosen;
}

std::vector<std::int32_t> SpeedsToTry(const RestoreOptions& options, std::int32_t speed) {
  if (!options.speed_auto) return {speed};
  return std::vector<std::int32_t>(kLineSpeeds.rbegin(), kLineSpeeds.rend());
}

std::string PassedOverText(std::span<const PassedOverPort> passed_over, const Catalogue& texts) {
  if (passed_over.empty()) return {};
  std::string ports;
  for (const PassedOverPort& port : passed_over) {
    const std::string why = port.console                                  ? texts.Text("search.console")
                            : port.failure.Kind() == platform::ErrorKind::Busy ? texts.Text("search.busy")
                                                                           : port.failure.Text();
    if (!ports.empty()) ports += ", ";
    ports += port.port + " (" + why + ")";
  }
  return texts.Text("search.passed_over", {{"ports", ports}});
}

std::string NothingAnsweredText(std::size_t ports, std::size_t speeds, const Catalogue& texts) {
  return texts.Text("search.nothing", {{"ports", std::to_string(ports)}, {"speeds", std::to_string(speeds)}});
}

std::string FoundPrinterText(const FoundPrinter& found, const Catalogue& texts) {
  return texts.Text("search.printer", {{"port", found.port},
                                       {"speed", std::to_string(found.speed)},
                                       {"serial", found.serial.empty() ? texts.Text("search.serial_unknown")
                                                                       : found.serial}});
}

}  // namespace fjl::cli
