#pragma once
// How COM port names become device paths and which errors mean the port is
// gone. Free of <windows.h>, so the rules can be tested on their own.

#include <string>

#include "platform/system_result.h"

namespace fjl::serial::win32 {

// "COM3" becomes "\\.\COM3", the device namespace form that also reaches
// ports numbered above 9; a name already in that form stays as it is.
std::string DevicePath(const std::string& name);

// Errors with which Windows answers a read or write on a port whose device
// has gone (a USB adapter pulled out): ERROR_ACCESS_DENIED,
// ERROR_NOT_READY, ERROR_BAD_COMMAND, ERROR_GEN_FAILURE,
// ERROR_OPERATION_ABORTED, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED.
bool MeansDeviceGone(unsigned long code);

// What a failed open of a COM port means: Windows answers "access denied"
// for a port another program holds, and "invalid function" for a name that
// is no serial port.
platform::ErrorKind OpenFailureKind(unsigned long code);

}  // namespace fjl::serial::win32
