#include "tape/record_counters.h"

#include <limits>

namespace fjl::tape {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::int64_t> ParseCounterText(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Kept one below the maximum so that the count after it still fits.
  constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() - 1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value > (kLimit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

RecordCounters::RecordCounters(RecordCounterView& view, std::span<const CounterBox> boxes)
    : view_(view), boxes_(boxes) {
  box_of_kind_.fill(-1);
  for (std::size_t box = 0; box < boxes_.size(); ++box) {
    const int kind = boxes_[box].kind;
    if (kind == kTotalKind) {
      total_box_ = static_cast<std::int16_t>(box);
    } else if (kind >= 0 && kind < 256) {
      box_of_kind_[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(box);
    }
  }
}

void RecordCounters::Reset() {
  for (std::size_t box = 0; box < boxes_.size(); ++box) view_.SetCounterText(box, "0");
}

std::optional<CounterFault> RecordCounters::CountRecord(std::uint8_t kind) {
  if (const std::int16_t box = box_of_kind_[kind]; box >= 0) {
    if (auto fault = Increment(static_cast<std::size_t>(box))) return fault;
  }
  if (total_box_ >= 0) return Increment(static_cast<std::size_t>(total_box_));
  return std::nullopt;
}

std::optional<CounterFault> RecordCounters::Increment(std::size_t box) {
  std::string text = view_.CounterText(box);
  const std::optional<std::int64_t> value = ParseCounterText(text);
  if (!value) return CounterFault{box, std::move(text)};
  view_.SetCounterText(box, std::to_string(*value + 1));
  return std::nullopt;
}

std::string CounterFaultMessage(const CounterFault& fault, std::span<const CounterBox> boxes) {
  std::string message = "Значение '" + fault.text + "' в поле \"";
  if (fault.box < boxes.size()) message += boxes[fault.box].label;
  message += "\" не является целым числом. Чтение данных остановлено.";
  return message;
}

}  // namespace fjl::tape
