#include "restore/name_lookup.h"

#include <string_view>
#include <vector>

#include "link/device_error.h"
#include "link/read_commands.h"
#include "restore/number_text.h"

namespace fjl::restore {
namespace {

const NameEntry* Find(const std::vector<NameEntry>& table, std::int32_t number) {
  for (const NameEntry& entry : table) {
    if (entry.Number == number) return &entry;
  }
  return nullptr;
}

// Takes the name from the table, or reads it with `read` and keeps it.
template <typename Read>
Verdict Lookup(RestoreRun& run, std::vector<NameEntry>& table, std::int32_t number, std::string_view message_head,
               Read read, std::string& name) {
  if (const NameEntry* known = Find(table, number)) {
    name = known->Name;
    return Verdict::GoOn;
  }
  const link::DeviceResponse& reply = read(run.Printer(), run.Password(), number);
  std::string error;
  if (!link::DeviceErrorMessage(reply, error)) {
    return run.Stop(std::string(message_head) + Decimal(number) + " \n  " + error);
  }
  name = ReplyField(reply, 1);
  table.push_back({number, name});
  return Verdict::GoOn;
}

}  // namespace

Verdict LookupOperator(RestoreRun& run, std::int32_t number, std::string& name) {
  return Lookup(run, run.State().Operators, number, "Оператор ", link::GetOperatorParams, name);
}

Verdict LookupPaymentForm(RestoreRun& run, std::int32_t number, std::string& name) {
  return Lookup(run, run.State().Payment, number, "Чтение форм оплаты:", link::GetPaymentParams, name);
}

}  // namespace fjl::restore
