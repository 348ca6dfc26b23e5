#pragma once
// The printer reads the restoration relies on. Each formats its data text from
// the access password (Windows-1251 bytes, unchanged) and, where it takes one,
// a number, runs one exchange and returns the reply. No retry, no checks.

#include <cstdint>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"

namespace fjl::link {

inline constexpr int kCmdGetPaymentParams = 0x2E;
inline constexpr int kCmdGetOperatorParams = 0x30;
inline constexpr int kCmdGetDepartmentParams = 0x33;
inline constexpr int kCmdGetSerialNumber = 0x42;
inline constexpr int kCmdGetFiscalNumber = 0x44;
inline constexpr int kCmdGetTaxIdNumber = 0x46;
inline constexpr int kCmdGetTaxRate = 0x48;
inline constexpr int kCmdFlashRead = 0xF1;

const DeviceResponse& GetPaymentParams(Exchanger& link, std::string_view password, std::int32_t form);
const DeviceResponse& GetOperatorParams(Exchanger& link, std::string_view password, std::int32_t op);
const DeviceResponse& GetDepartmentParams(Exchanger& link, std::string_view password, std::int32_t dept);
const DeviceResponse& GetSerialNumber(Exchanger& link, std::string_view password);
const DeviceResponse& GetFiscalNumber(Exchanger& link, std::string_view password);
const DeviceResponse& GetTaxIdNumber(Exchanger& link, std::string_view password);
const DeviceResponse& GetTaxRate(Exchanger& link, std::string_view password, std::int32_t group);

}  // namespace fjl::link
