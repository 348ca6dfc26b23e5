#include "restore/tape_header.h"

#include <array>
#include <string>
#include <string_view>

#include "link/device_error.h"
#include "link/read_commands.h"
#include "restore/number_text.h"
#include "text/cp1251.h"

namespace fjl::restore {
namespace {

constexpr std::array<std::string_view, 8> kTaxTypeNames = {
    "Налог запрещен", "Вложенный",    "Наложенный",           "Группа не облагаемая налогом",
    "Вложенный 2",    "Наложенный 2", "Налог 2  Вложенный +", "Налог 2  Наложенный +",
};

constexpr std::array<std::string_view, 5> kTaxGroupLetters = {"А", "Б", "В", "Г", "Д"};

// Identity reads are checked by hand rather than through the error catalogue:
// they have messages of their own.
Verdict CheckIdentityReply(RestoreRun& run, const link::DeviceResponse& reply, std::string_view read_name) {
  if (reply.LineGone()) return run.Stop(std::string(link::kMsgLineGone) + " " + std::string(read_name) + " Ошибка!");
  if (reply.NoReply()) {
    return run.Stop("Таймаут устройства! " + std::string(read_name) + " Ошибка!");
  }
  // A NAK or a reply with a bad checksum is no more a success than an error code.
  const bool damaged = (reply.Status & (link::StatusNak | link::StatusBadChecksum)) != 0;
  if (damaged || reply.ErrorCode != "0000") {
    return run.Stop("Ошибка " + std::string(read_name) + "!");
  }
  return Verdict::GoOn;
}

void WriteTaxIdLines(RestoreRun& run, const link::DeviceResponse& reply, TapeHeaderInfo& info) {
  std::string id = HasField(reply, 0) ? reply.Fields[0] : std::string();
  for (int i = 0; i < 2 && !id.empty() && id.back() == ';'; ++i) id.pop_back();
  if (!id.empty() && id.front() != ';') info.id_number = text::Cp1251ToUtf8(id);
  run.Line("IД - " + info.id_number);
  if (HasField(reply, 1) && (reply.Fields[1].empty() || reply.Fields[1].front() != ';')) {
    info.tax_number = text::Cp1251ToUtf8(reply.Fields[1]);
  }
  run.Line("ПН - " + info.tax_number);
}

void WriteTaxRateLine(RestoreRun& run, std::int32_t group, TaxGroupInfo& info) {
  const std::string_view letter = kTaxGroupLetters[static_cast<std::size_t>(group)];
  const link::DeviceResponse& reply = link::GetTaxRate(run.Printer(), run.Password(), group);
  std::string error;
  if (!link::DeviceErrorMessage(reply, error)) {
    run.Show("Налог " + std::string(letter) + ":\n  " + error);
    run.State().TaxGroupsNotRead.emplace_back(letter);
    return;
  }
  info.read = true;
  info.type_code = DecimalValue(ReplyField(reply, 0));
  info.type_name = TaxTypeName(info.type_code);
  info.rate = ReplyField(reply, 1);
  info.name = ReplyField(reply, 2);
  std::string line = "Налог " + std::string(letter) + ", тип=" + info.type_name + ", " + "ставка=" + info.rate + ", " +
                     "название=" + info.name;
  // A reply without the linked group field has no linked group to show.
  if (HasField(reply, 3) && DecimalValue(reply.Fields[3]) != -1) {
    info.linked_group = ReplyField(reply, 3);
    line += ", связанная группа=" + *info.linked_group;
  }
  run.Line(std::move(line));
}

}  // namespace

std::string TaxTypeName(std::int64_t code) {
  if (code >= 0 && code < static_cast<std::int64_t>(kTaxTypeNames.size())) {
    return std::string(kTaxTypeNames[static_cast<std::size_t>(code)]);
  }
  return Decimal(code);
}

Verdict WriteTapeHeader(RestoreRun& run) {
  run.Line("Контрольная лента.");

  const link::DeviceResponse& serial = link::GetSerialNumber(run.Printer(), run.Password());
  if (CheckIdentityReply(run, serial, "GetSerialNumber") == Verdict::StopRun) return Verdict::StopRun;
  TapeHeaderInfo info;
  run.Line(" ");
  info.serial_number = ReplyField(serial, 0);
  run.Line("Заводской номер - " + info.serial_number);

  const link::DeviceResponse& fiscal = link::GetFiscalNumber(run.Printer(), run.Password());
  if (CheckIdentityReply(run, fiscal, "GetFiscalNumber") == Verdict::StopRun) return Verdict::StopRun;
  info.fiscal_number = ReplyField(fiscal, 0);
  run.Line("Фискальный номер - " + info.fiscal_number);

  const link::DeviceResponse& tax_id = link::GetTaxIdNumber(run.Printer(), run.Password());
  if (CheckIdentityReply(run, tax_id, "GetTaxIdNumber") == Verdict::StopRun) return Verdict::StopRun;
  WriteTaxIdLines(run, tax_id, info);
  run.Line(" ");

  info.tax_groups.resize(kTaxGroupLetters.size());
  for (std::int32_t group = 0; group < 5; ++group) {
    TaxGroupInfo& tax = info.tax_groups[static_cast<std::size_t>(group)];
    tax.letter = kTaxGroupLetters[static_cast<std::size_t>(group)];
    WriteTaxRateLine(run, group, tax);
  }
  if (RecordObserver* observer = run.Observer()) observer->OnHeader(info);

  run.Line(" ");
  run.Line(std::string(50, '*'));
  for (int i = 0; i < 3; ++i) run.Line(" ");
  return Verdict::GoOn;
}

}  // namespace fjl::restore
