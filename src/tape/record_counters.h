#pragma once
// The per-type record counters of steps 1 and 2. A counter is the text of
// its box: every count reads the number the box shows, adds one and writes
// the result back, so a number the user typed is where counting goes on.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "tape/record_types.h"

namespace fjl::tape {

// The box that counts every record.
inline constexpr int kTotalKind = -1;

struct CounterBox {
  std::string_view label;  // UTF-8, exactly as the window shows it
  int kind;                // the record type counted here, or kTotalKind
};

// Step 1, "Типы записей": the counters of the record type table, with
// "Всего:" after the last, listed column by column (box i sits in column
// i / kTapeCounterRows, row i % kTapeCounterRows) because both windows set
// them out in that order.
inline constexpr CounterPlace kTapeTotalPlace{2, 6};

namespace detail {
constexpr std::size_t CountedTapeTypes() {
  std::size_t counted = 0;
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) if (!info.counter_label.empty()) ++counted;
  return counted;
}

// How many columns (or rows) the places span.
constexpr int TapeCounterExtent(std::uint8_t CounterPlace::*axis) {
  int extent = kTapeTotalPlace.*axis + 1;
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) {
    if (!info.counter_label.empty() && info.place.*axis + 1 > extent) extent = info.place.*axis + 1;
  }
  return extent;
}
}  // namespace detail

inline constexpr int kTapeCounterColumns = detail::TapeCounterExtent(&CounterPlace::column);
inline constexpr int kTapeCounterRows = detail::TapeCounterExtent(&CounterPlace::row);

namespace detail {
constexpr std::size_t BoxAt(CounterPlace place) {
  return static_cast<std::size_t>(place.column) * static_cast<std::size_t>(kTapeCounterRows) + place.row;
}

using TapeCounterBoxes = std::array<CounterBox, CountedTapeTypes() + 1>;

constexpr TapeCounterBoxes MakeTapeCounterBoxes() {
  TapeCounterBoxes boxes{};
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) {
    if (!info.counter_label.empty()) boxes[BoxAt(info.place)] = {info.counter_label, TypeCode(info.type)};
  }
  boxes[BoxAt(kTapeTotalPlace)] = {"Всего:", kTotalKind};
  return boxes;
}

// The windows lay the boxes out by index, so the places must fill the
// columns without a gap and without two counters on one place.
constexpr bool PlacesFillTheColumns() {
  if (static_cast<std::size_t>(kTapeCounterColumns) * static_cast<std::size_t>(kTapeCounterRows) !=
      std::tuple_size_v<TapeCounterBoxes>) {
    return false;
  }
  std::array<bool, std::tuple_size_v<TapeCounterBoxes>> taken{};
  taken[BoxAt(kTapeTotalPlace)] = true;
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) {
    if (info.counter_label.empty()) continue;
    if (taken[BoxAt(info.place)]) return false;
    taken[BoxAt(info.place)] = true;
  }
  return true;
}
static_assert(PlacesFillTheColumns(), "the counter places leave a gap or share a place");
}  // namespace detail

inline constexpr detail::TapeCounterBoxes kTapeCounterBoxes = detail::MakeTapeCounterBoxes();
inline constexpr std::size_t kTapeTotalBox = detail::BoxAt(kTapeTotalPlace);

// Step 2: one column.
inline constexpr std::array<CounterBox, 5> kAuxCounterBoxes = {{
    {"Информация о параметрах товара:", 0},
    {"Запись об отделе:", 1},
    {"Запись об единице измерения:", 2},
    {"Комментарий:", 3},
    {"Всего:", kTotalKind},
}};
inline constexpr std::size_t kAuxTotalBox = 4;

// The counter boxes of one window, by index into its CounterBox table.
// The GUI, the CLI and the tests implement it.
class RecordCounterView {
 public:
  virtual ~RecordCounterView() = default;
  virtual std::string CounterText(std::size_t box) const = 0;
  // Writes the box and redraws it at once: the counts move while the
  // download is still running.
  virtual void SetCounterText(std::size_t box, std::string_view text) = 0;
};

// The value of a counter box: optional blanks, an optional sign and at
// least one digit, optional blanks; nothing else, and a value that one more
// count cannot overflow.
std::optional<std::int64_t> ParseCounterText(std::string_view text);

// A box that held something else than a whole number when it was counted.
struct CounterFault {
  std::size_t box;
  std::string text;  // what the box held
};

class RecordCounters {
 public:
  RecordCounters(RecordCounterView& view, std::span<const CounterBox> boxes);

  // Writes "0" into every box.
  void Reset();
  // Adds 1 to the box of `kind` (when it has one) and then to "Всего:".
  std::optional<CounterFault> CountRecord(std::uint8_t kind);
  std::span<const CounterBox> Boxes() const { return boxes_; }

 private:
  std::optional<CounterFault> Increment(std::size_t box);

  RecordCounterView& view_;
  std::span<const CounterBox> boxes_;
  std::array<std::int16_t, 256> box_of_kind_{};  // -1: no box of its own
  std::int16_t total_box_ = -1;
};

// "Значение 'abc' в поле \"Печать итога:\" не является целым числом. ..."
std::string CounterFaultMessage(const CounterFault& fault, std::span<const CounterBox> boxes);

}  // namespace fjl::tape
