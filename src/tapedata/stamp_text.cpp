#include "tapedata/stamp_text.h"

#include "text/hex_text.h"

namespace fjl::tapedata {
namespace {

std::optional<int> BcdValue(std::uint8_t byte) {
  const int high = byte >> 4;
  const int low = byte & 0x0F;
  if (high > 9 || low > 9) return std::nullopt;
  return high * 10 + low;
}

int DaysIn(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  // Two-digit years are 2000..2099, where every fourth year is a leap year.
  if (month == 2 && year % 4 == 0) return 29;
  return kDays[month - 1];
}

// Two digits, high first, as the tape text shows a BCD byte.
char* WriteHex(char* at, std::uint8_t byte) {
  *at++ = text::kUpperHexDigits[byte >> 4];
  *at++ = text::kUpperHexDigits[byte & 0x0F];
  return at;
}

}  // namespace

void WriteStampText(char* out, const restore::StampBytes& when) {
  out = WriteHex(out, when[0]);
  *out++ = '/';
  out = WriteHex(out, when[1]);
  *out++ = '/';
  out = WriteHex(out, when[2]);
  *out++ = ' ';
  *out++ = ' ';
  out = WriteHex(out, when[3]);
  *out++ = ':';
  WriteHex(out, when[4]);
}

void AppendStampText(std::string& out, const restore::StampBytes& when) {
  char text[kStampTextSize];
  WriteStampText(text, when);
  out.append(text, sizeof text);
}

std::string StampText(const restore::StampBytes& when) {
  std::string text;
  AppendStampText(text, when);
  return text;
}

bool StampIsValid(const restore::StampBytes& when) {
  int v[5] = {};
  for (std::size_t i = 0; i < when.size(); ++i) {
    const std::optional<int> value = BcdValue(when[i]);
    if (!value) return false;
    v[i] = *value;
  }
  const int day = v[0], month = v[1], year = 2000 + v[2], hour = v[3], minute = v[4];
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysIn(month, year) && hour <= 23 && minute <= 59;
}

void WriteStampIso(char* out, const restore::StampBytes& when) {
  *out++ = '2';
  *out++ = '0';
  out = WriteHex(out, when[2]);
  *out++ = '-';
  out = WriteHex(out, when[1]);
  *out++ = '-';
  out = WriteHex(out, when[0]);
  *out++ = 'T';
  out = WriteHex(out, when[3]);
  *out++ = ':';
  WriteHex(out, when[4]);
}

void AppendStampIso(std::string& out, const restore::StampBytes& when) {
  char text[kStampIsoSize];
  WriteStampIso(text, when);
  out.append(text, sizeof text);
}

std::optional<std::string> StampIso(const restore::StampBytes& when) {
  if (!StampIsValid(when)) return std::nullopt;
  std::string text;
  AppendStampIso(text, when);
  return text;
}

std::int64_t StampOrder(const restore::StampBytes& when) {
  std::int64_t order = 0;
  // Year, month, day, hour, minute: most significant first. BCD digits are
  // the decimal digits, so the bytes' values order as the dates do.
  static constexpr std::size_t kMostSignificantFirst[] = {2, 1, 0, 3, 4};
  for (const std::size_t i : kMostSignificantFirst) order = order * 100 + (when[i] >> 4) * 10 + (when[i] & 0x0F);
  return order;
}

}  // namespace fjl::tapedata
