// A printed barcode: only that it was printed is restored, not its data.
#include "restore/record_decoders.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::BarcodePrint>(RestoreRun& run, const TapeRecord& record) {
  run.Line("Печать штрих-кода");
  if (RecordObserver* observer = run.Observer()) observer->OnRecord(BarcodePrinted{record.position});
  return Verdict::GoOn;
}

}  // namespace fjl::restore
