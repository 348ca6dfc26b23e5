#include "tapecheck/check_report.h"

#include "tapedata/json_writer.h"
#include "tapedata/number_append.h"
#include "tapedata/stamp_text.h"

namespace fjl::tapecheck {
namespace {

namespace r = restore;
using tapedata::AppendInteger;
using tapedata::DocumentKind;

constexpr std::string_view kDash = "–";  // between the ends of a range

std::string_view KindText(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::SaleReceipt:
      return "чек продажи";
    case DocumentKind::ReturnReceipt:
      return "чек возврата";
    case DocumentKind::VoidedReceipt:
      return "аннулированный чек";
    case DocumentKind::CashIn:
      return "служебный внос";
    case DocumentKind::CashOut:
      return "служебный вынос";
    case DocumentKind::FreeDocument:
      return "нефискальный документ";
  }
  return "документ";
}

// The title line the tape text gives each record type.
std::string_view RecordTitle(std::uint8_t type) {
  switch (type) {
    case 0: return "Открыть фискальный чек";
    case 1: return "Закрыть фискальный чек";
    case 2: return "Печать итога";
    case 3: return "Частичная оплата";
    case 4: return "Окончательная оплата";
    case 5: return "Продажа товара";
    case 6: return "Процентная скидка/надбавка на товар";
    case 7: return "Стоимостная скидка/надбавка на товар";
    case 8: return "Процентная скидка/надбавка на подсумму";
    case 9: return "Стоимостная скидка/надбавка на подсумму";
    case 10: return "Процентная скидка/надбавка по налогу";
    case 11: return "Стоимостная скидка/надбавка по налогу";
    case 12: return "Задание номера отдела";
    case 14: return "Аннулирование продажи товара";
    case 15: return "Аннулирование чека";
    case 16: return "Служебный внос/вынос денег";
    case 17: return "Печать комментария";
    case 18: return "Печать штрих-кода";
    case 19: return "Открыть нефискальный чек";
    case 20: return "Закрыть нефискальный чек";
    default: return "?";
  }
}

void AppendCapitalized(std::string& out, std::string_view text) {
  // The kinds all begin with a Cyrillic lower-case letter of the block
  // U+0430..U+044F (two UTF-8 bytes); its capital is 0x20 lower, and for
  // the letters from "р" on, one lead byte down.
  if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xD0 &&
      static_cast<unsigned char>(text[1]) >= 0xB0 && static_cast<unsigned char>(text[1]) <= 0xBF) {
    out += text[0];
    out += static_cast<char>(static_cast<unsigned char>(text[1]) - 0x20);
    out.append(text.substr(2));
  } else if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xD1 &&
             static_cast<unsigned char>(text[1]) >= 0x80 && static_cast<unsigned char>(text[1]) <= 0x8F) {
    out += static_cast<char>(0xD0);
    out += static_cast<char>(static_cast<unsigned char>(text[1]) + 0x20);
    out.append(text.substr(2));
  } else {
    out.append(text);
  }
}

void AppendWhere(std::string& out, const Finding& finding) {
  out += "позиция ";
  AppendInteger(out, finding.position);
  if (finding.document_number) {
    out += ", документ №";
    AppendInteger(out, *finding.document_number);
  }
}

void AppendRuleNames(std::string& out, const RuleInfo& info) {
  out += info.id;
  out += " (";
  out += info.title;
  out += ')';
}

// "7, сквозные номера 100–106, с ... по ...": the count of documents first.
void AppendDocumentFacts(std::string& out, const TapeCheck& check) {
  AppendInteger(out, static_cast<std::int64_t>(check.documents));
  if (check.lowest_number) {
    out += ", сквозные номера ";
    AppendInteger(out, *check.lowest_number);
    out += kDash;
    AppendInteger(out, *check.highest_number);
  }
  if (check.first_stamp) {
    out += ", с ";
    tapedata::AppendStampText(out, *check.first_stamp);
    out += " по ";
    tapedata::AppendStampText(out, *check.last_stamp);
  }
}

}  // namespace

void AppendFindingText(std::string& out, const Finding& finding) {
  switch (finding.rule) {
    case Rule::DocumentNumberGap:
      if (finding.first == finding.second) {
        out += "пропущен сквозной номер ";
        AppendInteger(out, finding.first);
      } else {
        out += "пропущены сквозные номера ";
        AppendInteger(out, finding.first);
        out += kDash;
        AppendInteger(out, finding.second);
        out += " (";
        AppendInteger(out, finding.second - finding.first + 1);
        out += ')';
      }
      out += " перед этим документом";
      return;
    case Rule::DocumentNumberRepeated:
      out += "этот сквозной номер уже стоял у документа в позиции ";
      AppendInteger(out, finding.first);
      return;
    case Rule::DocumentNumberBack:
      out += "сквозной номер меньше номера предыдущего документа (";
      AppendInteger(out, finding.first);
      out += ')';
      return;
    case Rule::DateBack:
      out += "дата ";
      tapedata::AppendStampText(out, finding.when);
      out += " раньше даты предыдущего документа №";
      AppendInteger(out, finding.first);
      out += " (";
      tapedata::AppendStampText(out, finding.before);
      out += ')';
      return;
    case Rule::DateInvalid:
      out += "дата и время «";
      tapedata::AppendStampText(out, finding.when);
      out += "» не читаются как дата";
      return;
    case Rule::ReceiptUnpaid:
      AppendCapitalized(out, KindText(finding.kind));
      out += " закрыт без оплаты";
      return;
    case Rule::DocumentNotClosed:
      AppendCapitalized(out, KindText(finding.kind));
      out += " не закрыт: следующий документ начался раньше или лента кончилась";
      return;
    case Rule::DocumentNotOpened:
      AppendCapitalized(out, KindText(finding.kind));
      out += ": на ленте только его закрытие";
      return;
    case Rule::RecordOutsideDocument:
      out += "запись «";
      out += RecordTitle(finding.record_type);
      out += "» стоит вне документа";
      return;
    case Rule::ArticleMissing:
      out += "продажа ссылается на артикул в позиции ";
      AppendInteger(out, finding.first);
      out += " вспомогательных данных, а его там нет";
      return;
    case Rule::CommentMissing:
      out += "комментарий ссылается на позицию ";
      AppendInteger(out, finding.first);
      out += " вспомогательных данных, а его там нет";
      return;
    case Rule::TapeEnd:
      switch (static_cast<r::WalkEndKind>(finding.first)) {
        case r::WalkEndKind::LengthBound:
          out += "лента кончилась без признака конца";
          return;
        case r::WalkEndKind::UnknownType:
          out += "запись неизвестного типа ";
          AppendInteger(out, finding.second);
          out += ": дальше ленту не разобрать";
          return;
        case r::WalkEndKind::PastImage:
          out += "запись выходит за пределы образа ленты";
          return;
        default:
          out += "восстановление остановлено здесь";
          return;
      }
  }
}

bool ReportWantsJson(std::string_view file) {
  if (file.size() < 5) return false;
  const std::string_view tail = file.substr(file.size() - 5);
  static constexpr std::string_view kJson = ".json";
  for (std::size_t i = 0; i < kJson.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kJson[i]) return false;
  }
  return true;
}

std::string ReportFileBytes(const TapeCheck& check, std::string_view file) {
  if (ReportWantsJson(file)) return ReportJson(check);
  const std::string text = ReportText(check);
  std::string bytes = "\xEF\xBB\xBF";
  bytes.reserve(text.size() + text.size() / 16 + 3);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string ReportText(const TapeCheck& check) {
  std::string out;
  out.reserve(1024 + check.findings.size() * 200);
  out += "Проверка контрольной ленты\n";
  out += "Заводской номер: ";
  out += check.serial_number;
  out += "\n";
  out += "Документов: ";
  AppendDocumentFacts(out, check);
  out += "\nЗамечаний: ";
  AppendInteger(out, static_cast<std::int64_t>(check.findings.size()));
  out += "\n";
  if (!check.findings.empty()) out += "\n";
  for (const Finding& finding : check.findings) {
    AppendWhere(out, finding);
    out += ": ";
    AppendFindingText(out, finding);
    out += " [";
    AppendRuleNames(out, InfoOf(finding.rule));
    out += "]\n";
  }
  out += "\nПравила проверки:\n";
  for (const RuleInfo& info : Rules()) {
    out += "  ";
    AppendRuleNames(out, info);
    out += ": ";
    out += info.description;
    out += " (замечаний: ";
    AppendInteger(out, static_cast<std::int64_t>(check.CountOf(info.rule)));
    out += ")\n";
  }
  return out;
}

std::string ReportJson(const TapeCheck& check) {
  tapedata::JsonWriter json(4096 + check.findings.size() * 300);
  json.BeginObject();
  json.Key("format").String("fjl-tape-check");
  json.Key("format_version").Integer(kReportFormatVersion);
  json.Key("serial_number").String(check.serial_number);
  json.Key("documents").Integer(static_cast<std::int64_t>(check.documents));
  json.Key("lowest_document_number").Optional(check.lowest_number);
  json.Key("highest_document_number").Optional(check.highest_number);
  json.Key("clean").Bool(check.Clean());
  json.Key("findings").BeginArray();
  std::string text;  // one buffer for every finding's words
  for (const Finding& finding : check.findings) {
    const RuleInfo& info = InfoOf(finding.rule);
    json.BeginObject(tapedata::Layout::OneLine);
    json.Key("rule").String(info.id);
    json.Key("title").String(info.title);
    json.Key("position").Integer(finding.position);
    json.Key("document_number").Optional(finding.document_number);
    text.clear();
    AppendFindingText(text, finding);
    json.Key("text").String(text);
    json.EndObject();
  }
  json.EndArray();
  json.Key("rules").BeginArray();
  for (const RuleInfo& info : Rules()) {
    json.BeginObject(tapedata::Layout::OneLine);
    json.Key("rule").String(info.id);
    json.Key("title").String(info.title);
    json.Key("description").String(info.description);
    json.Key("findings").Integer(static_cast<std::int64_t>(check.CountOf(info.rule)));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return json.Take();
}

std::string SummaryLine(const TapeCheck& check, std::string_view report_file) {
  std::string out = "Проверка ленты: ";
  if (check.Clean()) {
    out += "замечаний нет (документов ";
    AppendDocumentFacts(out, check);
    out += ')';
    if (!report_file.empty()) {
      out += "; отчёт — в ";
      out += report_file;
    }
    out += '.';
    return out;
  }
  out += "замечаний ";
  AppendInteger(out, static_cast<std::int64_t>(check.findings.size()));
  out += " — ";
  bool first = true;
  for (const RuleInfo& info : Rules()) {
    const std::size_t count = check.CountOf(info.rule);
    if (count == 0) continue;
    if (!first) out += ", ";
    first = false;
    out += info.title;
    out += ": ";
    AppendInteger(out, static_cast<std::int64_t>(count));
  }
  if (report_file.empty()) {
    out += "; подробно — с --report ФАЙЛ.";
  } else {
    out += "; подробно — в ";
    out += report_file;
    out += '.';
  }
  return out;
}

}  // namespace fjl::tapecheck
