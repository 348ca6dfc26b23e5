// Receipt opening and closing, the total and the payments.
#include <string>

#include "restore/name_lookup.h"
#include "restore/number_text.h"
#include "restore/record_decoders.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::ReceiptOpen>(RestoreRun& run, const TapeRecord& record) {
  const std::uint8_t operator_index = U8(record, 1);
  const std::uint8_t pos_number = U8(record, 2);
  const std::uint8_t kind = U8(record, 3);

  run.Line(kBlankLine);
  run.Line(kSeparatorLine);
  run.Line("Открыть фискальный чек");
  run.AddRecordLine(record);
  run.Line(kind == 0 ? "     тип чека - продажа товаров," : "     тип чека - возврат товаров,");
  run.State().CurrentReceiptKind = kind;
  run.Line("     номер POS - " + Decimal(pos_number) + ",");

  const std::int32_t number = operator_index + 1;
  std::string name;
  if (LookupOperator(run, number, name) == Verdict::StopRun) return Verdict::StopRun;
  run.Line("     оператор #" + Decimal(number) + ": " + name);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(ReceiptOpened{record.position, kind, pos_number, number, std::move(name)});
  }
  return Verdict::GoOn;
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::ReceiptClose>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Закрыть фискальный чек");
  run.AddRecordLine(record);
  run.Line(DocumentLine(record, 1, 5));
  const std::string receipt_number = Decimal(I16(record, 10));
  if (run.State().CurrentReceiptKind == 0) {
    run.Line("     Номер чека продажи=" + receipt_number);
  } else {
    run.Line("     Номер чека возврата=" + receipt_number);
  }
  run.Line(kSeparatorLine);
  run.Line(kBlankLine);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(
        ReceiptClosed{record.position, StampOf(record, 1, 5), I16(record, 10), run.State().CurrentReceiptKind});
  }
  return Verdict::GoOn;
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::TotalPrint>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Печать итога");
  run.AddRecordLine(record);
  if (RecordObserver* observer = run.Observer()) observer->OnRecord(TotalPrinted{record.position});
  return Verdict::GoOn;
}

namespace {

// The lookup comes first: a failed one leaves no line of the record.
Verdict PaymentHead(RestoreRun& run, const TapeRecord& record, const char* title, std::string& name) {
  const std::uint8_t form = U8(record, 1);
  if (LookupPaymentForm(run, form, name) == Verdict::StopRun) return Verdict::StopRun;
  run.Line(title);
  run.AddRecordLine(record);
  run.Line("     Номер оплаты=" + Decimal(form) + ", Название=" + name + ",");
  return Verdict::GoOn;
}

}  // namespace

template <>
Verdict DecodeRecord<tape::TapeRecordType::PartialPayment>(RestoreRun& run, const TapeRecord& record) {
  std::string name;
  if (PaymentHead(run, record, "Частичная оплата", name) == Verdict::StopRun) return Verdict::StopRun;
  const std::int32_t amount = I32(record, 2);
  run.Line("     сумма оплаты=" + FixedPointText(amount, 2));
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(PaymentMade{record.position, false, U8(record, 1), std::move(name), amount, std::nullopt});
  }
  return Verdict::GoOn;
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::FinalPayment>(RestoreRun& run, const TapeRecord& record) {
  std::string name;
  if (PaymentHead(run, record, "Окончательная оплата", name) == Verdict::StopRun) return Verdict::StopRun;
  const std::int32_t amount = I32(record, 2);
  const std::int32_t change = I32(record, 6);
  run.Line("     сумма оплаты=" + FixedPointText(amount, 2) + ",");
  run.Line("     сдача=" + FixedPointText(change, 2));
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(PaymentMade{record.position, true, U8(record, 1), std::move(name), amount, change});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
