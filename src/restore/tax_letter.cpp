#include "restore/tax_letter.h"

#include "text/cp1251.h"

namespace fjl::restore {

std::string TaxLetter(std::uint8_t index) {
  const auto code = static_cast<char>(static_cast<std::uint8_t>(192u + index));
  if (code == '\0') return {};
  return text::Cp1251ToUtf8(std::string_view(&code, 1));
}

}  // namespace fjl::restore
