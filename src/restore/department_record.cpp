// The department selection: its name is asked of the printer every time,
// since departments can be renamed between receipts.
#include "link/device_error.h"
#include "link/read_commands.h"
#include "restore/number_text.h"
#include "restore/record_decoders.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::DepartmentSelect>(RestoreRun& run, const TapeRecord& record) {
  const std::uint8_t department = U8(record, 1);
  const link::DeviceResponse& reply = link::GetDepartmentParams(run.Printer(), run.Password(), department);
  std::string error;
  if (!link::DeviceErrorMessage(reply, error)) {
    return run.Stop("Параметры отдела:" + Decimal(department) + " \n  " + error);
  }
  run.Line("Задание номера отдела");
  run.AddRecordLine(record);
  std::string name = ReplyField(reply, 0);
  run.Line("     отдел #" + Decimal(department) + ": " + name);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(DepartmentSelected{record.position, department, std::move(name)});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
