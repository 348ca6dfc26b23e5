#include "serial/win32/com_names.h"

namespace fjl::serial::win32 {

std::string DevicePath(const std::string& name) {
  static const std::string kPrefix = "\\\\.\\";
  if (name.compare(0, kPrefix.size(), kPrefix) == 0) return name;
  return kPrefix + name;
}

bool MeansDeviceGone(unsigned long code) {
  switch (code) {
    case 5:     // ERROR_ACCESS_DENIED
    case 21:    // ERROR_NOT_READY
    case 22:    // ERROR_BAD_COMMAND
    case 31:    // ERROR_GEN_FAILURE
    case 995:   // ERROR_OPERATION_ABORTED
    case 1167:  // ERROR_DEVICE_NOT_CONNECTED
    case 1617:  // ERROR_DEVICE_REMOVED
      return true;
    default:
      return false;
  }
}

platform::ErrorKind OpenFailureKind(unsigned long code) {
  using platform::ErrorKind;
  switch (code) {
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
    case 123:  // ERROR_INVALID_NAME
      return ErrorKind::NotFound;
    case 5:   // ERROR_ACCESS_DENIED: another program holds the port
    case 32:  // ERROR_SHARING_VIOLATION
      return ErrorKind::Busy;
    case 1:   // ERROR_INVALID_FUNCTION: the name is no serial port
    case 87:  // ERROR_INVALID_PARAMETER
      return ErrorKind::NotATerminal;
    default:
      return ErrorKind::Other;
  }
}

}  // namespace fjl::serial::win32
