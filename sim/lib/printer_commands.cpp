#include "sim/lib/printer_commands.h"

#include <algorithm>
#include <optional>

namespace fjl::sim {
namespace {

CommandAnswer Error(const char* code) { return CommandAnswer{code, {}}; }

CommandAnswer Fields(std::vector<std::string> fields) { return CommandAnswer{"0000", std::move(fields)}; }

// Plain decimal digits; anything else (sign, blanks, overflow) is not a number.
std::optional<std::uint64_t> ParseDecimal(const std::string& text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

CommandAnswer NameFrom(const std::map<int, std::string>& names, std::uint64_t number, bool name_first) {
  const auto it = number <= 255 ? names.find(static_cast<int>(number)) : names.end();
  if (it == names.end()) return Error(kErrOutOfRange);
  if (name_first) return Fields({it->second});
  return Fields({std::to_string(number), it->second});
}

CommandAnswer FlashRead(const PrinterModel& model, std::size_t chunk, std::uint64_t address) {
  const auto region = std::find_if(model.flash.begin(), model.flash.end(),
                                   [&](const FlashRegion& r) { return r.Contains(address); });
  if (region == model.flash.end()) return Error(kErrOutOfRange);
  std::uint64_t left = region->end - address;
  if (!region->erased_past_image) {
    const std::uint64_t held = region->image.size() + std::uint64_t{region->base};
    left = held > address ? std::min(left, held - address) : 0;
  }
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, left));
  // Where the data end the reply says so with its count alone.
  if (count == 0) return Fields({"0"});
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = region->At(address + i);
  return Fields({std::to_string(count), HexText(bytes)});
}

}  // namespace

std::vector<std::string> SplitParameters(std::string_view data) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < data.size()) {
    const std::size_t semi = data.find(';', start);
    if (semi == std::string_view::npos) {
      parts.emplace_back(data.substr(start));
      break;
    }
    parts.emplace_back(data.substr(start, semi - start));
    start = semi + 1;
  }
  return parts;
}

std::string HexText(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

CommandAnswer AnswerCommand(const PrinterModel& model, std::size_t chunk, std::uint8_t command,
                            std::string_view data) {
  chunk = std::clamp<std::size_t>(chunk, 1, kMaxFlashChunk);
  const bool known = command == kFlashReadCommand || command == kPaymentCommand ||
                     command == kOperatorCommand || command == kDepartmentCommand ||
                     command == kSerialCommand || command == kFiscalCommand ||
                     command == kTaxIdCommand || command == kTaxRateCommand;
  if (!known) return Error(kErrUnknownCommand);

  const std::vector<std::string> params = SplitParameters(data);
  if (params.empty()) return Error(kErrMissingParameter);
  if (params[0] != model.password) return Error(kErrWrongPassword);

  const PrinterIdentity& id = model.identity;
  switch (command) {
    case kSerialCommand:
      return Fields({id.serial_number});
    case kFiscalCommand:
      return Fields({id.fiscal_number});
    case kTaxIdCommand:
      return Fields({id.id_number, id.tax_number});
    default:
      break;
  }

  if (params.size() < 2) return Error(kErrMissingParameter);
  const std::optional<std::uint64_t> number = ParseDecimal(params[1]);
  if (!number) return Error(kErrNotANumber);

  switch (command) {
    case kFlashReadCommand:
      return FlashRead(model, chunk, *number);
    case kTaxRateCommand: {
      if (*number >= id.tax_rates.size()) return Error(kErrOutOfRange);
      const TaxRate& t = id.tax_rates[static_cast<std::size_t>(*number)];
      return Fields({std::to_string(t.type_code), t.rate, t.name, std::to_string(t.linked_group)});
    }
    case kOperatorCommand:
      return NameFrom(id.operators, *number, false);
    case kPaymentCommand:
      return NameFrom(id.payment_forms, *number, false);
    case kDepartmentCommand:
      return NameFrom(id.departments, *number, true);
    default:
      return Error(kErrUnknownCommand);
  }
}

}  // namespace fjl::sim
