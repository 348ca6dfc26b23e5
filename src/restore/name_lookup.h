#pragma once
// Operator and payment form names, asked of the printer once per number and
// run and then taken from the state's tables.

#include <cstdint>
#include <string>

#include "restore/restore_run.h"

namespace fjl::restore {

// `number` is the 1-based operator number. On a failed read the message has
// been shown and the answer is StopRun; `name` is then unchanged.
Verdict LookupOperator(RestoreRun& run, std::int32_t number, std::string& name);

// `number` is the payment form byte of the record, as the printer numbers it.
Verdict LookupPaymentForm(RestoreRun& run, std::int32_t number, std::string& name);

}  // namespace fjl::restore
