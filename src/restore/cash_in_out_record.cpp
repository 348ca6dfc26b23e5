// Cash paid into or taken out of the register.
#include <string>

#include "restore/name_lookup.h"
#include "restore/number_text.h"
#include "restore/record_decoders.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::CashInOut>(RestoreRun& run, const TapeRecord& record) {
  run.Line(kBlankLine);
  run.Line(kSeparatorLine);
  run.Line("Служебный внос/вынос денег");
  run.AddRecordLine(record);
  run.Line(DocumentLine(record, 1, 5));

  const std::int32_t number = U8(record, 10) + 1;
  std::string name;
  if (LookupOperator(run, number, name) == Verdict::StopRun) return Verdict::StopRun;
  run.Line("     оператор #" + Decimal(number) + ": " + name);

  const std::int32_t amount = I32(record, 11);
  const std::string amount_text = FixedPointText(amount, 2);
  run.Line((amount > 0 ? "     служебный внос=" : "     служебный вынос=") + amount_text + ",");
  const auto cash = static_cast<std::int64_t>(UnsignedLE(record, 15, 6));  // 48 bits always fit
  run.Line("     сумма наличности в регистраторе=" + FixedPointText(cash, 2));
  run.Line(kSeparatorLine);
  run.Line(kBlankLine);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(CashMoved{record.position, StampOf(record, 1, 5), number, std::move(name), amount, cash});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
