// A sale, with its article read from the auxiliary image.
#include <algorithm>
#include <optional>

#include "restore/number_text.h"
#include "restore/record_decoders.h"
#include "restore/tax_letter.h"
#include "tape/aux_records.h"
#include "text/cp1251.h"

namespace fjl::restore {

Verdict DecodeItemSale(RestoreRun& run, const TapeRecord& record) {
  const auto reference = static_cast<std::int64_t>(UnsignedLE(record, 1, 3));
  const std::int32_t quantity = I32(record, 4);
  const std::int32_t price = I32(record, 8);
  // A reference that finds no whole article record inside the image shows an
  // article 0 of department 0 with no tax letter and no name.
  const std::optional<tape::ItemParameters> item = tape::ItemAt(run.Aux(), reference);

  run.Line("Продажа товара");
  run.AddRecordLine(record);
  run.Line("     номер артикула=" + std::to_string(item ? item->Code : 0) + ",");
  run.Line("     налог=" + (item ? TaxLetter(item->TaxGroup) : std::string()) + ",");
  run.Line("     отдел=" + Decimal(item ? item->Department : 0) + ",");
  run.Line("     имя товара=" + (item ? text::Cp1251ToUtf8(StoredText(item->Name, kMaxItemName)) : std::string()));
  run.Line("     количество=" + FixedPointText(quantity, 3) + ",");
  run.Line("     цена=" + FixedPointText(price, 2));
  return Verdict::GoOn;
}

}  // namespace fjl::restore
