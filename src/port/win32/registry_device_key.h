#pragma once
// A device's registry key as the component's settings key: "ForceFifoEnable",
// "RxFIFO" and "TxFIFO" are REG_DWORD values, "settings" a REG_BINARY one.

#include <windows.h>

#include <functional>
#include <memory>

#include "port/port_device_key.h"

namespace fjl::port {

// Opens the key afresh for every read or write (null when it cannot be
// opened), so a key is never held open between calls and a device that
// disappears simply fails the next access.
using RegistryKeyOpener = std::function<HKEY()>;

std::shared_ptr<DeviceKey> MakeRegistryDeviceKey(RegistryKeyOpener opener);

}  // namespace fjl::port
