// The port driver's FIFO settings, kept in the device's settings key. The NT
// family stores plain numbers; the older family packs them into the first
// bytes of a binary "settings" value.

#include <climits>

#include "port/port_control.h"

namespace fjl::port {

namespace {

constexpr const char* kForceFifo = "ForceFifoEnable";
constexpr const char* kRxFifo = "RxFIFO";
constexpr const char* kTxFifo = "TxFIFO";
constexpr const char* kSettings = "settings";

constexpr std::uint8_t kFifoOnBit = 0x02;
constexpr std::size_t kTxCodeByte = 1;
constexpr std::size_t kRxCodeByte = 3;

struct SizeCode {
  std::uint32_t size;
  std::uint8_t code;
};
constexpr SizeCode kRxCodes[] = {{1, 0x00}, {4, 0x40}, {8, 0x80}, {14, 0xC0}};
constexpr SizeCode kTxCodes[] = {{1, 1}, {4, 6}, {8, 11}, {16, 16}};

bool IsReceiveTrigger(std::uint32_t size) { return size == 1 || size == 4 || size == 8 || size == 14; }

int AsResult(std::uint32_t number) { return number > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(number); }

}  // namespace

std::shared_ptr<DeviceKey> TPortControl::OwnKey() const { return GetDeviceKey(Port); }

int TPortControl::EnableFIFO(bool enable) {
  const auto key = OwnKey();
  if (!key) return kPortNoDeviceKey;
  switch (family_) {
    case SystemFamily::Nt:
      return key->WriteNumber(kForceFifo, enable ? 1u : 0u) ? kPortOk : kPortNoDeviceKey;
    case SystemFamily::Older: {
      auto settings = key->ReadBinary(kSettings);
      if (!settings || settings->empty()) return kPortNoDeviceKey;
      if (enable) {
        (*settings)[0] = static_cast<std::uint8_t>((*settings)[0] | kFifoOnBit);
      } else {
        (*settings)[0] = static_cast<std::uint8_t>((*settings)[0] & ~kFifoOnBit);
      }
      return key->WriteBinary(kSettings, *settings) ? kPortOk : kPortNoDeviceKey;
    }
    case SystemFamily::Other:
      break;
  }
  return kPortUnknownFamily;
}

int TPortControl::SetFIFOSize(bool receive, std::uint32_t size) {
  const auto key = OwnKey();
  if (!key) return kPortNoDeviceKey;
  switch (family_) {
    case SystemFamily::Nt:
      if (receive ? !IsReceiveTrigger(size) : (size < 1 || size > 16)) return kPortBadFifoSize;
      return key->WriteNumber(receive ? kRxFifo : kTxFifo, size) ? kPortOk : kPortNoDeviceKey;
    case SystemFamily::Older: {
      const std::uint8_t* code = nullptr;
      for (const auto& entry : receive ? std::span<const SizeCode>(kRxCodes) : std::span<const SizeCode>(kTxCodes)) {
        if (entry.size == size) code = &entry.code;
      }
      if (code == nullptr) return kPortBadFifoSize;
      auto settings = key->ReadBinary(kSettings);
      const std::size_t place = receive ? kRxCodeByte : kTxCodeByte;
      // A value too short to hold the code is as unusable as a missing one.
      if (!settings || settings->size() <= place) return kPortNoDeviceKey;
      (*settings)[place] = *code;
      return key->WriteBinary(kSettings, *settings) ? kPortOk : kPortNoDeviceKey;
    }
    case SystemFamily::Other:
      break;
  }
  return kPortUnknownFamily;
}

int TPortControl::IsFIFOEnable() {
  const auto key = OwnKey();
  if (!key) return kPortNoDeviceKey;
  switch (family_) {
    case SystemFamily::Nt: {
      const auto number = key->ReadNumber(kForceFifo);
      return number ? AsResult(*number) : kPortNoDeviceKey;
    }
    case SystemFamily::Older: {
      const auto settings = key->ReadBinary(kSettings);
      if (!settings || settings->empty()) return kPortNoDeviceKey;
      // Only the FIFO bit counts: EnableFIFO keeps the byte's other bits, and
      // what it wrote must read back.
      return ((*settings)[0] & kFifoOnBit) != 0 ? 1 : 0;
    }
    case SystemFamily::Other:
      break;
  }
  return kPortUnknownFamily;
}

int TPortControl::GetFIFOSize(bool receive) {
  const auto key = OwnKey();
  if (!key) return kPortNoDeviceKey;
  switch (family_) {
    case SystemFamily::Nt: {
      const auto number = key->ReadNumber(receive ? kRxFifo : kTxFifo);
      return number ? AsResult(*number) : kPortNoDeviceKey;
    }
    case SystemFamily::Older: {
      const auto settings = key->ReadBinary(kSettings);
      const std::size_t place = receive ? kRxCodeByte : kTxCodeByte;
      if (!settings || settings->size() <= place) return kPortNoDeviceKey;
      for (const auto& entry : receive ? std::span<const SizeCode>(kRxCodes) : std::span<const SizeCode>(kTxCodes)) {
        if (entry.code == (*settings)[place]) return static_cast<int>(entry.size);
      }
      return kPortNoDeviceKey;
    }
    case SystemFamily::Other:
      break;
  }
  return kPortUnknownFamily;
}

}  // namespace fjl::port
