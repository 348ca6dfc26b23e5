#pragma once
// What the simulated printer knows: its identity, its tax table, the names it
// answers with, its two flash areas and the password it accepts. Texts are
// Windows-1251 bytes, as the printer sends them.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/lib/frames.h"

namespace fjl::sim {

struct TaxRate {
  int type_code = 0;     // 0..7
  std::string rate;      // as the printer writes it, e.g. "20.00"
  std::string name;
  int linked_group = -1;  // -1: none
};

struct PrinterIdentity {
  std::string serial_number;
  std::string fiscal_number;
  std::string id_number;
  std::string tax_number;
  std::array<TaxRate, 5> tax_rates{};
  std::map<int, std::string> operators;      // by operator number (1-based)
  std::map<int, std::string> payment_forms;  // by payment form number
  std::map<int, std::string> departments;    // by department number
};

// A window of flash [base, end). Bytes past the stored image read as 0xFF,
// as erased flash does, so a reader always finds an end; a region replayed
// from a dump holds only what the dump stored, and its data end there.
struct FlashRegion {
  std::uint32_t base = 0;
  std::uint32_t end = 0;
  Bytes image;
  bool erased_past_image = true;

  bool Contains(std::uint64_t address) const { return address >= base && address < end; }
  std::uint8_t At(std::uint64_t address) const {
    const std::uint64_t i = address - base;
    return i < image.size() ? image[static_cast<std::size_t>(i)] : 0xFF;
  }
};

inline constexpr std::array<std::uint8_t, 6> kStatusFine{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};

struct PrinterModel {
  std::string password = "482913";
  PrinterIdentity identity;
  std::vector<FlashRegion> flash;
  std::array<std::uint8_t, 6> status = kStatusFine;
};

}  // namespace fjl::sim
