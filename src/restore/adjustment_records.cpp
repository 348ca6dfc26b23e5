// The six discount and surcharge records. They share one shape: a title, a
// sign line ("надбавка" above zero, "скидка" otherwise) and some further lines.
#include <string>

#include "restore/number_text.h"
#include "restore/record_decoders.h"
#include "restore/tax_letter.h"

namespace fjl::restore {
namespace {

enum class ValueWidth { Percent16, Amount32 };

struct AdjustmentKind {
  const char* title;
  ValueWidth width;
  const char* suffix;  // after the value on the sign line
};

AdjustmentKind KindOf(std::uint8_t type) {
  switch (type) {
    case 6:
      return {"Процентная скидка/надбавка на товар", ValueWidth::Percent16, "%"};
    case 7:
      return {"Стоимостная скидка/надбавка на товар", ValueWidth::Amount32, ""};
    case 8:
      return {"Процентная скидка/надбавка на подсумму", ValueWidth::Percent16, "%,"};
    case 9:
      return {"Стоимостная скидка/надбавка на подсумму", ValueWidth::Amount32, ""};
    case 10:
      return {"Процентная скидка/надбавка по налогу", ValueWidth::Percent16, "%,"};
    default:  // 11
      return {"Стоимостная скидка/надбавка по налогу", ValueWidth::Amount32, ","};
  }
}

AdjustmentBase BaseOf(std::uint8_t type) {
  if (type <= 7) return AdjustmentBase::Item;
  return type <= 9 ? AdjustmentBase::Subtotal : AdjustmentBase::Tax;
}

Verdict DecodeAdjustment(RestoreRun& run, const TapeRecord& record) {
  const std::uint8_t type = U8(record, 0);
  const AdjustmentKind kind = KindOf(type);
  const std::int32_t value = kind.width == ValueWidth::Percent16 ? I16(record, 1) : I32(record, 1);

  run.Line(kind.title);
  run.AddRecordLine(record);
  run.Line((value > 0 ? "     надбавка=" : "     скидка=") + FixedPointText(value, 2) + kind.suffix);
  AdjustmentMade made{record.position, type, BaseOf(type), kind.width == ValueWidth::Percent16, value, {}, {}, {}};
  switch (type) {
    case 8:
      made.money_amount = I32(record, 3);
      run.Line("     в денежном выражении=" + FixedPointText(*made.money_amount, 2));
      break;
    case 10:
      made.tax_letter = TaxLetter(U8(record, 3));
      made.taxable_amount = I32(record, 4);
      run.Line("     на налог=" + *made.tax_letter + ",");
      run.Line("     обкладываемая сумма=" + FixedPointText(*made.taxable_amount, 2));
      break;
    case 11:
      made.tax_letter = TaxLetter(U8(record, 5));
      run.Line("     на налог=" + *made.tax_letter + ",");
      break;
    default:
      break;
  }
  if (RecordObserver* observer = run.Observer()) observer->OnRecord(std::move(made));
  return Verdict::GoOn;
}

}  // namespace

template <>
Verdict DecodeRecord<tape::TapeRecordType::PercentAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::AmountAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::PercentSubtotalAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::AmountSubtotalAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::PercentTaxAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::AmountTaxAdjustment>(RestoreRun& run, const TapeRecord& record) {
  return DecodeAdjustment(run, record);
}

}  // namespace fjl::restore
