#include "tapedata/stamp_text.h"

#include "restore/number_text.h"

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

}  // namespace

std::string StampText(const restore::StampBytes& when) {
  using restore::HexByte;
  return HexByte(when[0]) + "/" + HexByte(when[1]) + "/" + HexByte(when[2]) + "  " + HexByte(when[3]) + ":" +
         HexByte(when[4]);
}

std::optional<std::string> StampIso(const restore::StampBytes& when) {
  std::optional<int> v[5];
  for (std::size_t i = 0; i < when.size(); ++i) {
    v[i] = BcdValue(when[i]);
    if (!v[i]) return std::nullopt;
  }
  const int day = *v[0], month = *v[1], year = 2000 + *v[2], hour = *v[3], minute = *v[4];
  if (month < 1 || month > 12 || day < 1 || day > DaysIn(month, year) || hour > 23 || minute > 59) {
    return std::nullopt;
  }
  using restore::HexByte;
  return "20" + HexByte(when[2]) + "-" + HexByte(when[1]) + "-" + HexByte(when[0]) + "T" + HexByte(when[3]) + ":" +
         HexByte(when[4]);
}

}  // namespace fjl::tapedata
