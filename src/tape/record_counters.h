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

namespace fjl::tape {

// The box that counts every record.
inline constexpr int kTotalKind = -1;

struct CounterBox {
  std::string_view label;  // UTF-8, exactly as the window shows it
  int kind;                // the record type counted here, or kTotalKind
};

// Step 1, "Типы записей": three columns of seven, listed column by column
// (box i sits in column i / 7, row i % 7).
inline constexpr int kTapeCounterColumns = 3;
inline constexpr int kTapeCounterRows = 7;
inline constexpr std::array<CounterBox, 21> kTapeCounterBoxes = {{
    {"Открытие чека:", 0},
    {"Закрытие чека:", 1},
    {"Печать итога:", 2},
    {"Частичная оплата:", 3},
    {"Оплата окончательная:", 4},
    {"Продажа товара::", 5},
    {"Процен. надбав-скидка:", 6},
    {"Стоим. надбав-скидка:", 7},
    {"Процен. надбав-скидка на сумму:", 8},
    {"Стоим. надбав-скидка на сумму:", 9},
    {"Процен. надбав-скидка по налогу:", 10},
    {"Стоим. надбав-скидка по налогу:", 11},
    {"Задание номера отдела:", 12},
    {"Аннулирование товара:", 14},
    {"Аннулирование чека:", 15},
    {"Служебное внесение, выдача:", 16},
    {"Коментарий (фиск. чек):", 17},
    {"Печать штрих-кода:", 18},
    {"Открытие произвольного документа:", 19},
    {"Закрытие произвольного документа:", 20},
    {"Всего:", kTotalKind},
}};
inline constexpr std::size_t kTapeTotalBox = 20;

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
