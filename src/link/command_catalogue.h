#pragma once
// The command catalogue: a readable name (and a description of the parameter
// text) for every command code of the printer's command set 0x20..0xA3.

#include <cstdint>
#include <string_view>

namespace fjl::link {

inline constexpr std::int32_t kFirstCatalogueCode = 0x20;
inline constexpr std::int32_t kLastCatalogueCode = 0xA3;

// The name given to codes the catalogue does not know.
inline constexpr std::string_view kUnknownCommandName = "Неверная команда";

struct CommandEntry {
  std::string_view name;        // UTF-8; empty for codes without an entry
  std::string_view parameters;  // UTF-8; empty for codes without an entry
};

// The catalogue's entry for `code`; both texts are empty outside 0x20..0xA3
// and for codes without an entry.
CommandEntry CatalogueEntry(std::int32_t code);

// The catalogue name of `code`, or kUnknownCommandName; never empty.
std::string_view CommandName(std::int32_t code);

}  // namespace fjl::link
