// The annulment of an item: it repeats, marked with "-", the lines already
// restored for the records it annuls.
#include <optional>
#include <string>
#include <vector>

#include "restore/record_decoders.h"
#include "tape/flash_image.h"

namespace fjl::restore {
namespace {

constexpr const char* kBadVoidData = "Ошибка аннулирования! Некорректные данные";
const std::string kVoidBegin = "     Начало аннулирования";
const std::string kVoidEnd = "     Конец аннулирования";

std::string TextBudgetMessage(std::int64_t position, std::size_t budget) {
  constexpr std::size_t kMegabyte = 1024 * 1024;
  const std::string size = budget % kMegabyte == 0 ? std::to_string(budget / kMegabyte) + " МБ"
                                                   : std::to_string(budget) + " байт";
  return "Аннулирование в позиции " + std::to_string(position) +
         " повторяет столько строк, что восстановленный текст превысил бы " + size +
         ". Восстановление остановлено.";
}

// The printer may store a reference either as a flash address of the tape or
// as an index of the tape image: an address lies at or above the tape's base.
std::int64_t TapeIndexOf(std::uint32_t reference) {
  constexpr std::int64_t kBase = tape::kTapeArea.first_address;
  return reference >= kBase ? std::int64_t{reference} - kBase : std::int64_t{reference};
}

std::optional<std::size_t> FindRecordLine(const std::vector<RecordLine>& table, std::size_t from,
                                          std::int64_t position) {
  for (std::size_t i = from; i < table.size(); ++i) {
    if (table[i].TapePosition == position) return i;
  }
  return std::nullopt;
}

}  // namespace

template <>
Verdict DecodeRecord<tape::TapeRecordType::ItemVoid>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Аннулирование продажи товара");
  run.AddRecordLine(record);  // the search below sees this record as well

  const std::vector<RecordLine>& table = run.State().RecordLineTable;
  const auto start = FindRecordLine(table, 0, TapeIndexOf(U32(record, 5)));
  if (!start) return run.Stop(kBadVoidData);
  const auto end = FindRecordLine(table, *start, TapeIndexOf(U32(record, 9)));
  if (!end) return run.Stop(kBadVoidData);

  // From the first detail line of the record at A up to, not including, the
  // title line of the record at B.
  const std::size_t first = table[*start].FirstDetailLine;
  const std::size_t last = table[*end].FirstDetailLine - 1;  // every entry follows a title line
  // A void may rightly span a whole long receipt, so the span's length says
  // nothing; what must not happen is voids over voids doubling the text
  // until the memory runs out. The run's text budget draws that line.
  std::size_t added = RestoreRun::TextBytes(kVoidBegin) + RestoreRun::TextBytes(kVoidEnd);
  for (std::size_t j = first; j < last; ++j) added += 1 + RestoreRun::TextBytes(run.Text().Line(j));
  if (!run.TextFits(added)) return run.Stop(TextBudgetMessage(record.position, run.TextBudget()));

  run.Line(kVoidBegin);
  for (std::size_t j = first; j < last; ++j) {
    std::string copy = "-" + run.Text().Line(j);  // copied before the text grows
    run.Line(std::move(copy));
  }
  run.Line(kVoidEnd);
  if (RecordObserver* observer = run.Observer()) {
    ItemVoided voided{record.position, table[*start].TapePosition, table[*end].TapePosition, {}, {}};
    for (std::size_t i = *start; i < *end; ++i) voided.cancelled_positions.push_back(table[i].TapePosition);
    for (std::size_t j = first; j < last; ++j) voided.cancelled_lines.push_back(run.Text().Line(j));
    observer->OnRecord(std::move(voided));
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
