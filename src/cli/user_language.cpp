#include "cli/user_language.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace fjl::cli {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return lower;
}

}  // namespace

// language[_TERRITORY][.codeset][@modifier]
Language LanguageOfLocale(std::string_view locale) {
  const std::string name = Lower(locale.substr(0, locale.find('@')));
  const std::size_t dot = name.find('.');
  const std::string language = name.substr(0, std::min(name.find('_'), dot));
  // Without a codeset glibc gives ru_RU ISO-8859-5: no UTF-8 there either.
  const std::string codeset = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  const bool utf8 = codeset == "utf-8" || codeset == "utf8";
  return (language == "ru" || language == "uk") && utf8 ? Language::Russian : Language::English;
}

Language LanguageOfLangId(std::uint16_t lang_id) {
  // The primary language is the low ten bits: LANG_RUSSIAN 0x19, LANG_UKRAINIAN 0x22.
  const unsigned primary = lang_id & 0x3FFU;
  return primary == 0x19U || primary == 0x22U ? Language::Russian : Language::English;
}

}  // namespace fjl::cli
