#pragma once
// A small day of a shop's printer: cash paid in, sales with every discount
// and surcharge kind, a voided item, a return, a voided receipt, a
// non-fiscal document and cash paid out. Every tape record type the
// printer writes appears at least once, with the auxiliary records (articles,
// departments, units, comments) they refer to, and the identity, tax table and
// names the printer answers with. The simulator serves it by default.

#include "sim/lib/frames.h"
#include "sim/lib/printer_model.h"

namespace fjl::sim {

struct SampleJournal {
  Bytes tape;  // TapeImage bytes, end marker included
  Bytes aux;   // AuxImage bytes, end mark included
  PrinterIdentity identity;
};

SampleJournal MakeSampleJournal();

// A printer holding `tape` at the tape flash address and `aux` at the
// auxiliary one, with the default password.
PrinterModel MakePrinterModel(PrinterIdentity identity, Bytes tape, Bytes aux);

// The sample journal as a printer.
PrinterModel SamplePrinterModel();

}  // namespace fjl::sim
