#pragma once
// Result codes of the serial port component and its fixed descriptions.

namespace fjl::port {

inline constexpr int kPortOk = 0;
inline constexpr int kPortNotOpen = -1;
inline constexpr int kPortOpenFailed = -2;
inline constexpr int kPortGetSettingsFailed = -3;
inline constexpr int kPortSetSettingsFailed = -4;
inline constexpr int kPortTimeoutsFailed = -5;
inline constexpr int kPortFlushFailed = -6;
inline constexpr int kPortCloseFailed = -7;
inline constexpr int kPortGetPriorityClassFailed = -8;
inline constexpr int kPortSetPriorityClassFailed = -9;
inline constexpr int kPortGetThreadPriorityFailed = -10;
inline constexpr int kPortSetThreadPriorityFailed = -11;
inline constexpr int kPortLockFailed = -12;    // never on POSIX: nothing is locked there
inline constexpr int kPortUnlockFailed = -13;  // as above
inline constexpr int kPortClearErrorFailed = -14;
inline constexpr int kPortPurgeFailed = -15;
inline constexpr int kPortSessionRunning = -16;
inline constexpr int kPortReadFailed = -17;
inline constexpr int kPortWriteFailed = -18;
inline constexpr int kPortNoEndChar = -19;
inline constexpr int kPortAlreadyOpen = -20;
inline constexpr int kPortNoSession = -21;
inline constexpr int kPortEscapeFailed = -22;
inline constexpr int kPortClearBuffersFailed = -23;
inline constexpr int kPortUnknownFamily = -24;
inline constexpr int kPortNoDeviceKey = -25;
inline constexpr int kPortBadFifoSize = -26;
inline constexpr int kPortNoDeviceClass = -27;

inline constexpr const char* kDescrPortNotOpened = "Port was not opened!\nError = -1";
inline constexpr const char* kDescrPortNotOpenedWrite = "Port was not opened.\nError = -1";
inline constexpr const char* kDescrSessionOpened = "Session was opened!\nError = -16";
inline constexpr const char* kDescrEndCharAbsent = "End character is absent.\nError = -19";
inline constexpr const char* kDescrPortOpened = "Port was opened!\nError = -20";
inline constexpr const char* kDescrSessionNotOpened = "Session was not opened!\nError = -21";
inline constexpr const char* kDescrSessionNotOpenedDot = "Session was not opened.\nError = -21";
inline constexpr const char* kDescrSessionNotOpenedRead = "Session was not opened!!\nError = -21";
inline constexpr const char* kDescrSessionNotOpenedBare = "Session was not opened\nError = -21";

}  // namespace fjl::port
