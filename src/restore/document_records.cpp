// Receipt annulment and the non-fiscal document's framing.
#include "restore/record_decoders.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::ReceiptVoid>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Аннулирование чека");
  run.Line(DocumentLine(record, 13, 17));
  run.Line(kSeparatorLine);
  run.Line(kBlankLine);
  if (RecordObserver* observer = run.Observer()) observer->OnRecord(ReceiptVoided{record.position, StampOf(record, 13, 17)});
  return Verdict::GoOn;
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::FreeDocumentOpen>(RestoreRun& run, const TapeRecord& record) {
  run.Line(kBlankLine);
  run.Line(kSeparatorLine);
  run.Line("Открыть нефискальный чек");
  run.AddRecordLine(record);
  if (RecordObserver* observer = run.Observer()) observer->OnRecord(FreeDocumentOpened{record.position});
  return Verdict::GoOn;
}

template <>
Verdict DecodeRecord<tape::TapeRecordType::FreeDocumentClose>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Закрыть нефискальный чек");
  run.AddRecordLine(record);
  run.Line(DocumentLine(record, 1, 5));
  run.Line(kSeparatorLine);
  run.Line(kBlankLine);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(FreeDocumentClosed{record.position, StampOf(record, 1, 5)});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
