// A printed barcode: only that it was printed is restored, not its data.
#include "restore/record_decoders.h"

namespace fjl::restore {

Verdict DecodeBarcodePrint(RestoreRun& run, const TapeRecord&) {
  run.Line("Печать штрих-кода");
  return Verdict::GoOn;
}

}  // namespace fjl::restore
