// A sale, with its article read from the auxiliary image.
#include <algorithm>
#include <optional>

#include "restore/number_text.h"
#include "restore/record_decoders.h"
#include "restore/tax_letter.h"
#include "tape/aux_records.h"
#include "text/cp1251.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::ItemSale>(RestoreRun& run, const TapeRecord& record) {
  const auto reference = static_cast<std::int64_t>(UnsignedLE(record, 1, 3));
  const std::int32_t quantity = I32(record, 4);
  const std::int32_t price = I32(record, 8);
  // A reference that finds no whole article record inside the image shows an
  // article 0 of department 0 with no tax letter and no name.
  const std::optional<tape::ItemParameters> item = tape::ItemAt(run.Aux(), reference);

  const std::uint64_t article = item ? item->Code : 0;
  const std::string tax = item ? TaxLetter(item->TaxGroup) : std::string();
  const std::int32_t department = item ? item->Department : 0;
  std::string name = item ? text::Cp1251ToUtf8(StoredText(item->Name, kMaxItemName)) : std::string();

  run.Line("Продажа товара");
  run.AddRecordLine(record);
  run.Line("     номер артикула=" + std::to_string(article) + ",");
  run.Line("     налог=" + tax + ",");
  run.Line("     отдел=" + Decimal(department) + ",");
  run.Line("     имя товара=" + name);
  run.Line("     количество=" + FixedPointText(quantity, 3) + ",");
  run.Line("     цена=" + FixedPointText(price, 2));
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(ItemSold{record.position, reference, item.has_value(), article, tax, department,
                                std::move(name), quantity, price});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
