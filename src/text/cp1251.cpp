#include "text/cp1251.h"

#include <array>

namespace fjl::text {
namespace {

// Upper half of the code page (0x80..0xFF), as in the WHATWG index.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr std::uint8_t kReplacement = '?';

// Reverse lookup for U+0000..U+04FF; the handful of punctuation code points
// above that are few enough to search.
struct ReverseTable {
  std::array<std::uint8_t, 0x500> low{};
  constexpr ReverseTable() {
    for (unsigned b = 0; b < 0x80; ++b) low[b] = static_cast<std::uint8_t>(b);
    for (unsigned i = 0; i < kUpperHalf.size(); ++i) {
      if (kUpperHalf[i] < low.size()) low[kUpperHalf[i]] = static_cast<std::uint8_t>(0x80 + i);
    }
  }
};
constexpr ReverseTable kReverse;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

char32_t Cp1251ToCodePoint(std::uint8_t byte) {
  return byte < 0x80 ? char32_t{byte} : char32_t{kUpperHalf[byte - 0x80u]};
}

std::uint8_t CodePointToCp1251(char32_t code_point) {
  if (code_point < kReverse.low.size()) {
    // Zero in the table means "not in the code page", except for U+0000 itself.
    const std::uint8_t b = kReverse.low[code_point];
    return (b != 0 || code_point == 0) ? b : kReplacement;
  }
  for (unsigned i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == code_point) return static_cast<std::uint8_t>(0x80 + i);
  }
  return kReplacement;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) AppendUtf8(out, Cp1251ToCodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1Fu, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0Fu, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07u, min = 0x10000;
    } else {
      out.push_back(static_cast<char>(kReplacement));
      ++i;
      continue;
    }
    std::size_t taken = 1;
    bool ok = true;
    for (; taken <= extra; ++taken) {
      if (i + taken >= n || (static_cast<std::uint8_t>(utf8[i + taken]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + taken]) & 0x3Fu);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // One replacement per malformed sequence; resume at the first byte that
      // did not belong to it.
      out.push_back(static_cast<char>(kReplacement));
      i += ok ? taken : (taken == 0 ? 1 : taken);
      continue;
    }
    out.push_back(static_cast<char>(CodePointToCp1251(cp)));
    i += taken;
  }
  return out;
}

}  // namespace fjl::text
