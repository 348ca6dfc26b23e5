#include "link/read_commands.h"

#include <string>

namespace fjl::link {
namespace {

// "<password>;" and, where the command takes a number, "<number>;". The
// password goes out as typed; one that makes the text too long for a frame
// is refused by the exchange, not cut here.
std::string DataText(std::string_view password) {
  std::string text(password);
  text += ';';
  return text;
}

std::string DataText(std::string_view password, std::int32_t number) {
  std::string text = DataText(password);
  text += std::to_string(number);
  text += ';';
  return text;
}

}  // namespace

const DeviceResponse& GetPaymentParams(Exchanger& link, std::string_view password, std::int32_t form) {
  return link.Exchange(kCmdGetPaymentParams, DataText(password, form));
}

const DeviceResponse& GetOperatorParams(Exchanger& link, std::string_view password, std::int32_t op) {
  return link.Exchange(kCmdGetOperatorParams, DataText(password, op));
}

const DeviceResponse& GetDepartmentParams(Exchanger& link, std::string_view password, std::int32_t dept) {
  return link.Exchange(kCmdGetDepartmentParams, DataText(password, dept));
}

const DeviceResponse& GetSerialNumber(Exchanger& link, std::string_view password) {
  return link.Exchange(kCmdGetSerialNumber, DataText(password));
}

const DeviceResponse& GetFiscalNumber(Exchanger& link, std::string_view password) {
  return link.Exchange(kCmdGetFiscalNumber, DataText(password));
}

const DeviceResponse& GetTaxIdNumber(Exchanger& link, std::string_view password) {
  return link.Exchange(kCmdGetTaxIdNumber, DataText(password));
}

const DeviceResponse& GetTaxRate(Exchanger& link, std::string_view password, std::int32_t group) {
  return link.Exchange(kCmdGetTaxRate, DataText(password, group));
}

}  // namespace fjl::link
