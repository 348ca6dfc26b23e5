// The FJL text and the JSON export of one restoration, walked side by side
// record by record: every value the text shows for a record is found in
// that record's JSON object, and every value of the JSON is either shown
// by the text or read from the record's own bytes on the tape, so the
// export invents nothing. A key the walk does not know fails it: a new
// field must say here where on the tape it comes from.
//
// The text is walked by the tape's record framing (type byte, length),
// each record's lines taken by its layout; the JSON is read with a reader
// of its own (json_reader.h). Run over the simulator's sample journal and
// over random journals with every record type, loose records, documents
// left open or closed without an opening, voids, dates that are no dates,
// broken references and names with quotes, ";", tabs and line breaks.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "json_reader.h"
#include "restore/restore_harness.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/sample_journal.h"
#include "tapedata/tape_json.h"
#include "tapedata/tape_model.h"

namespace fjl::tapedata {
namespace {

using restore::testing::ErrorReply;
using restore::testing::Harness;
using restore::testing::OkReply;
using testing::JsonReader;
using testing::JsonValue;

// --- Reading the text ------------------------------------------------------

// "19.99" -> 1999, "-.05" -> -5, "1.500" -> 1500: the digits without the
// point, checked to have `digits` after it.
std::int64_t Fixed(const std::string& text, int digits) {
  const std::size_t point = text.find('.');
  EXPECT_NE(point, std::string::npos) << text;
  EXPECT_EQ(text.size() - point - 1, static_cast<std::size_t>(digits)) << text;
  std::string plain = text;
  plain.erase(point, 1);
  const bool negative = !plain.empty() && plain[0] == '-';
  if (negative) plain.erase(0, 1);
  const std::int64_t magnitude = std::stoll(plain);
  return negative ? -magnitude : magnitude;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The lines of the text after the header, taken one at a time.
class Lines {
 public:
  Lines(std::vector<std::string> lines, std::size_t first) : lines_(std::move(lines)), at_(first) {}

  const std::string& Next() {
    if (at_ >= lines_.size()) throw std::runtime_error("the text ended early");
    return lines_[at_++];
  }
  void Exactly(const std::string& line) {
    const std::size_t where = at_;
    EXPECT_EQ(Next(), line) << "line " << where;
  }
  // The rest of the next line after `prefix`, which it must begin with.
  std::string After(const std::string& prefix) {
    const std::size_t where = at_;
    const std::string& line = Next();
    EXPECT_TRUE(StartsWith(line, prefix)) << "line " << where << ": \"" << line << "\" should begin \"" << prefix << "\"";
    return StartsWith(line, prefix) ? line.substr(prefix.size()) : std::string();
  }
  // The next line's value between `prefix` and `suffix`.
  std::string Between(const std::string& prefix, const std::string& suffix) {
    std::string rest = After(prefix);
    EXPECT_TRUE(rest.size() >= suffix.size() && rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) == 0)
        << "\"" << rest << "\" should end \"" << suffix << "\"";
    if (rest.size() >= suffix.size()) rest.resize(rest.size() - suffix.size());
    return rest;
  }
  std::size_t At() const { return at_; }
  std::size_t Size() const { return lines_.size(); }

 private:
  std::vector<std::string> lines_;
  std::size_t at_;
};

const std::string kRule(50, '=');
const std::string kStars(50, '*');

// "     Сквозной номер документа=N, DD/MM/YY  hh:mm": the number and the date.
std::pair<std::int64_t, std::string> DocumentLine(Lines& text) {
  const std::string rest = text.After("     Сквозной номер документа=");
  const std::size_t comma = rest.find(", ");
  EXPECT_NE(comma, std::string::npos) << rest;
  return {std::stoll(rest.substr(0, comma)), rest.substr(comma + 2)};
}

// The calendar form of a date as the text shows it, worked out here from
// the text alone: every digit decimal and the day existing, else none.
JsonValue IsoOf(const std::string& shown) {
  // "DD/MM/YY  hh:mm"
  if (shown.size() != 15) return {nullptr};
  for (const std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 10u, 11u, 13u, 14u}) {
    if (shown[i] < '0' || shown[i] > '9') return {nullptr};
  }
  const int day = std::stoi(shown.substr(0, 2)), month = std::stoi(shown.substr(3, 2));
  const int year = 2000 + std::stoi(shown.substr(6, 2)), hour = std::stoi(shown.substr(10, 2));
  const int minute = std::stoi(shown.substr(13, 2));
  const int days[] = {31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > days[month - 1] || hour > 23 || minute > 59) return {nullptr};
  return {"20" + shown.substr(6, 2) + "-" + shown.substr(3, 2) + "-" + shown.substr(0, 2) + "T" +
          shown.substr(10, 2) + ":" + shown.substr(13, 2)};
}

// --- The tape ---------------------------------------------------------------

struct TapeRecordAt {
  std::int64_t position;
  std::uint8_t type;
};

std::uint32_t Le(const std::vector<std::uint8_t>& image, std::int64_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width; i-- > 0;) value = (value << 8) | image[static_cast<std::size_t>(at + i)];
  return value;
}

// The framing every reader of the tape shares.
int LengthOf(std::uint8_t type) {
  static constexpr int kLengths[] = {4, 14, 1, 6, 10, 12, 3, 5, 7, 5, 8, 6, 2, 0, 13, 24, 23, 5, 18, 1, 10};
  return type < 21 ? kLengths[type] : 0;
}

// --- One restoration ---------------------------------------------------------

struct Journal {
  std::vector<std::uint8_t> tape;  // records and the end marker
  std::vector<std::uint8_t> aux;
  std::set<std::uint32_t> items;     // references that find an article
  std::set<std::uint32_t> comments;  // references that find a comment
};

const char* const kTaxTypeNames[] = {"Налог запрещен", "Вложенный", "Наложенный", "Группа не облагаемая налогом",
                                     "Вложенный 2", "Наложенный 2", "Налог 2  Вложенный +", "Налог 2  Наложенный +"};

class Walk {
 public:
  Walk(const Journal& journal, std::vector<std::string> lines, const JsonValue& json)
      : journal_(journal), text_(std::move(lines), 1), json_(json) {}

  void Run() {
    Header();
    IndexJson();
    std::int64_t position = 0;
    const auto end = static_cast<std::int64_t>(journal_.tape.size()) - 1;
    while (position < end) {
      const std::uint8_t type = journal_.tape[static_cast<std::size_t>(position)];
      SCOPED_TRACE("record of type " + std::to_string(type) + " at " + std::to_string(position));
      ASSERT_GT(LengthOf(type), 0);
      Record({position, type});
      position += LengthOf(type);
    }
    for (const std::string& line : std::vector<std::string>{" ", " ", " ", kStars, " "}) text_.Exactly(line);
    EXPECT_EQ(text_.At(), text_.Size()) << "text after the footer";

    const JsonValue& tape = json_["tape"];
    EXPECT_EQ(tape["end"].String(), "end_marker");
    EXPECT_EQ(tape["end_position"].Integer(), end);
    EXPECT_EQ(journal_.tape.back(), 255);
    Documents();
    // Every record object of the JSON is a record the walk met.
    for (const auto& [at, record] : records_) {
      EXPECT_TRUE(met_.count(at)) << "the JSON has a record at " << at << " the tape has not";
    }
  }

 private:
  // --- the header ---
  void Header() {
    text_.Exactly("Контрольная лента.");
    text_.Exactly(" ");
    const JsonValue& printer = json_["printer"];
    EXPECT_EQ(text_.After("Заводской номер - "), printer["serial_number"].String());
    EXPECT_EQ(text_.After("Фискальный номер - "), printer["fiscal_number"].String());
    EXPECT_EQ(text_.After("IД - "), printer["id_number"].String());
    EXPECT_EQ(text_.After("ПН - "), printer["tax_number"].String());
    ExpectKeys(printer, {"serial_number", "fiscal_number", "id_number", "tax_number"});
    text_.Exactly(" ");
    for (const JsonValue& group : json_["tax_groups"].Array()) {
      if (!group["read"].Bool()) {
        // The text has no line for a group that could not be read, and the
        // JSON no value.
        ExpectKeys(group, {"letter", "read"});
        continue;
      }
      const std::string line = text_.After("Налог " + group["letter"].String() + ", тип=");
      const std::string kRate = ", ставка=", kName = ", название=", kLinked = ", связанная группа=";
      const std::size_t rate = line.find(kRate), name = line.find(kName), linked = line.find(kLinked);
      ASSERT_NE(rate, std::string::npos);
      ASSERT_NE(name, std::string::npos);
      EXPECT_EQ(line.substr(0, rate), group["type_name"].String());
      // The code is the printer's; the text shows its name.
      const std::int64_t code = group["type_code"].Integer();
      ASSERT_TRUE(code >= 0 && code < 8) << code;
      EXPECT_EQ(kTaxTypeNames[code], group["type_name"].String());
      EXPECT_EQ(line.substr(rate + kRate.size(), name - rate - kRate.size()), group["rate"].String());
      const std::size_t name_at = name + kName.size();
      EXPECT_EQ(line.substr(name_at, linked == std::string::npos ? std::string::npos : linked - name_at),
                group["name"].String());
      if (linked == std::string::npos) {
        EXPECT_TRUE(group["linked_group"].IsNull());
      } else {
        EXPECT_EQ(line.substr(linked + kLinked.size()), group["linked_group"].String());
      }
      ExpectKeys(group, {"letter", "read", "type_code", "type_name", "rate", "name", "linked_group"});
    }
    for (const std::string& line : std::vector<std::string>{" ", kStars, " ", " ", " "}) text_.Exactly(line);
    // What the JSON says beside the tape: the export's own description.
    ExpectKeys(json_, {"format", "format_version", "program", "read_time", "units", "printer", "tax_groups", "tape",
                       "documents"});
    ExpectKeys(json_["tape"], {"end", "end_position", "image_capacity"});
  }

  // --- where each record's values are in the JSON ---
  void IndexJson() {
    for (const JsonValue& entry : json_["documents"].Array()) {
      if (entry["entry"].String() == "loose_record") {
        ExpectKeys(entry, {"entry", "record"});
        Index(entry["record"], nullptr);
        continue;
      }
      ASSERT_EQ(entry["entry"].String(), "document");
      documents_.push_back(&entry);
      for (const char* array : {"items", "adjustments", "item_voids", "payments", "departments", "totals", "comments",
                                "barcodes"}) {
        for (const JsonValue& record : entry[array].Array()) Index(record, &entry);
      }
    }
  }
  void Index(const JsonValue& record, const JsonValue* document) {
    const std::int64_t position = record["position"].Integer();
    EXPECT_TRUE(records_.emplace(position, &record).second) << "two records at " << position;
    if (document != nullptr) owner_[position] = document;
  }

  const JsonValue& RecordAt(std::int64_t position, const std::string& type) {
    met_.insert(position);
    const auto found = records_.find(position);
    if (found == records_.end()) throw std::runtime_error("no JSON record at " + std::to_string(position));
    EXPECT_EQ((*found->second)["type"].String(), type);
    return *found->second;
  }
  // The document a framing record opens (its first record) or closes (its last).
  const JsonValue& DocumentAt(std::int64_t position, bool first) {
    for (const JsonValue* d : documents_) {
      if ((*d)[first ? "position" : "last_position"].Integer() == position) {
        framed_[d].push_back(position);
        return *d;
      }
    }
    throw std::runtime_error("no JSON document " + std::string(first ? "beginning" : "ending") + " at " +
                             std::to_string(position));
  }
  void Shown(const JsonValue& document, std::initializer_list<const char*> keys) {
    for (const char* key : keys) shown_[&document].insert(key);
  }

  // --- one record, its lines and its JSON ---
  void Record(const TapeRecordAt& r) {
    const auto& tape = journal_.tape;
    switch (r.type) {
      case 0: {
        text_.Exactly(" ");
        text_.Exactly(kRule);
        text_.Exactly("Открыть фискальный чек");
        const std::string kind = text_.Next();
        EXPECT_TRUE(kind == "     тип чека - продажа товаров," || kind == "     тип чека - возврат товаров,") << kind;
        const std::string pos = text_.Between("     номер POS - ", ",");
        const auto [number, name] = Operator();
        const JsonValue& d = DocumentAt(r.position, true);
        EXPECT_TRUE(d["opened"].Bool());
        EXPECT_EQ(d["receipt_type"].String(), kind.find("продажа") != std::string::npos ? "sale" : "return");
        EXPECT_EQ(d["pos_number"].Integer(), std::stoll(pos));
        EXPECT_EQ(d["operator"]["number"].Integer(), number);
        EXPECT_EQ(d["operator"]["name"].String(), name);
        ExpectKeys(d["operator"], {"number", "name"});
        Shown(d, {"receipt_type", "pos_number", "operator"});
        // A receipt the tape never closes keeps the kind it was opened as.
        if (!d["closed"].Bool()) {
          EXPECT_EQ(d["kind"].String(), kind.find("продажа") != std::string::npos ? "sale_receipt" : "return_receipt");
        }
        return;
      }
      case 1: {
        text_.Exactly("Закрыть фискальный чек");
        const auto [number, when] = DocumentLine(text_);
        const std::string receipt = text_.Next();
        text_.Exactly(kRule);
        text_.Exactly(" ");
        const JsonValue& d = DocumentAt(r.position, false);
        Stamp(d, number, when);
        const bool sale = StartsWith(receipt, "     Номер чека продажи=");
        EXPECT_TRUE(sale || StartsWith(receipt, "     Номер чека возврата=")) << receipt;
        EXPECT_EQ(d["kind"].String(), sale ? "sale_receipt" : "return_receipt");
        EXPECT_EQ(d["receipt_number"].Integer(), std::stoll(receipt.substr(receipt.find('=') + 1)));
        EXPECT_TRUE(d["closed"].Bool());
        Shown(d, {"receipt_number"});
        return;
      }
      case 2:
        text_.Exactly("Печать итога");
        ExpectKeys(RecordAt(r.position, "total_print"), {"type", "position"});
        return;
      case 3:
      case 4: {
        text_.Exactly(r.type == 3 ? "Частичная оплата" : "Окончательная оплата");
        const std::string head = text_.Between("     Номер оплаты=", ",");
        const std::size_t name_at = head.find(", Название=");
        ASSERT_NE(name_at, std::string::npos) << head;
        const std::string amount = text_.Between("     сумма оплаты=", r.type == 4 ? "," : "");
        const JsonValue& p = RecordAt(r.position, "payment");
        EXPECT_EQ(p["final"].Bool(), r.type == 4);
        EXPECT_EQ(p["form"].Integer(), std::stoll(head.substr(0, name_at)));
        EXPECT_EQ(p["form_name"].String(), head.substr(name_at + std::string(", Название=").size()));
        EXPECT_EQ(p["amount"].Integer(), Fixed(amount, 2));
        if (r.type == 4) {
          EXPECT_EQ(p["change"].Integer(), Fixed(text_.After("     сдача="), 2));
        } else {
          EXPECT_TRUE(p["change"].IsNull());
        }
        ExpectKeys(p, {"type", "position", "final", "form", "form_name", "amount", "change"});
        return;
      }
      case 5: {
        text_.Exactly("Продажа товара");
        const std::string article = text_.Between("     номер артикула=", ",");
        const std::string tax = text_.Between("     налог=", ",");
        const std::string department = text_.Between("     отдел=", ",");
        const std::string name = text_.After("     имя товара=");
        const std::string quantity = text_.Between("     количество=", ",");
        const std::string price = text_.After("     цена=");
        const JsonValue& s = RecordAt(r.position, "item_sale");
        EXPECT_EQ(std::to_string(s["article"].Integer()), article);
        EXPECT_EQ(s["tax_letter"].String(), tax);
        EXPECT_EQ(s["department"].Integer(), std::stoll(department));
        EXPECT_EQ(s["name"].String(), name);
        EXPECT_EQ(s["quantity"].Integer(), Fixed(quantity, 3));
        EXPECT_EQ(s["price"].Integer(), Fixed(price, 2));
        // From the record's bytes: the article's reference, and whether the
        // auxiliary data holds an article there.
        const std::uint32_t reference = Le(tape, r.position + 1, 3);
        EXPECT_EQ(s["aux_reference"].Integer(), reference);
        EXPECT_EQ(s["article_found"].Bool(), journal_.items.count(reference) == 1);
        // Worked out from two values the text shows, only when it comes out
        // in whole kopecks.
        const std::int64_t product = Fixed(quantity, 3) * Fixed(price, 2);
        if (product % 1000 == 0) {
          EXPECT_EQ(s["amount"].Integer(), product / 1000);
        } else {
          EXPECT_TRUE(s["amount"].IsNull());
        }
        ExpectKeys(s, {"type", "position", "aux_reference", "article_found", "article", "name", "department",
                       "tax_letter", "quantity", "price", "amount"});
        return;
      }
      case 6:
      case 7:
      case 8:
      case 9:
      case 10:
      case 11:
        Adjustment(r);
        return;
      case 12: {
        text_.Exactly("Задание номера отдела");
        const std::string rest = text_.After("     отдел #");
        const std::size_t colon = rest.find(": ");
        ASSERT_NE(colon, std::string::npos);
        const JsonValue& d = RecordAt(r.position, "department_select");
        EXPECT_EQ(d["department"].Integer(), std::stoll(rest.substr(0, colon)));
        EXPECT_EQ(d["name"].String(), rest.substr(colon + 2));
        ExpectKeys(d, {"type", "position", "department", "name"});
        return;
      }
      case 14: {
        text_.Exactly("Аннулирование продажи товара");
        text_.Exactly("     Начало аннулирования");
        std::vector<std::string> copies;
        for (std::string line = text_.Next(); line != "     Конец аннулирования"; line = text_.Next()) {
          ASSERT_TRUE(StartsWith(line, "-")) << line;
          copies.push_back(line.substr(1));
        }
        const JsonValue& v = RecordAt(r.position, "item_void");
        std::vector<std::string> cancelled_lines;
        for (const JsonValue& line : v["cancelled_lines"].Array()) cancelled_lines.push_back(line.String());
        EXPECT_EQ(cancelled_lines, copies);
        // From the record's bytes: the two references, and the records
        // between them that have lines (all but receipt voids and barcodes).
        const std::int64_t start = Le(tape, r.position + 5, 4), end = Le(tape, r.position + 9, 4);
        EXPECT_EQ(v["start_position"].Integer(), start);
        EXPECT_EQ(v["end_position"].Integer(), end);
        std::vector<std::int64_t> between;
        for (std::int64_t at = 0; at < end; at += LengthOf(journal_.tape[static_cast<std::size_t>(at)])) {
          const std::uint8_t type = journal_.tape[static_cast<std::size_t>(at)];
          if (at >= start && type != 15 && type != 18) between.push_back(at);
        }
        std::vector<std::int64_t> cancelled;
        for (const JsonValue& p : v["cancelled_positions"].Array()) cancelled.push_back(p.Integer());
        EXPECT_EQ(cancelled, between);
        ExpectKeys(v, {"type", "position", "start_position", "end_position", "cancelled_positions",
                       "cancelled_lines"});
        return;
      }
      case 15: {
        text_.Exactly("Аннулирование чека");
        const auto [number, when] = DocumentLine(text_);
        text_.Exactly(kRule);
        text_.Exactly(" ");
        const JsonValue& d = DocumentAt(r.position, false);
        EXPECT_EQ(d["kind"].String(), "voided_receipt");
        EXPECT_TRUE(d["closed"].Bool());
        Stamp(d, number, when);
        return;
      }
      case 16: {
        text_.Exactly(" ");
        text_.Exactly(kRule);
        text_.Exactly("Служебный внос/вынос денег");
        const auto [number, when] = DocumentLine(text_);
        const auto [op, name] = Operator();
        const std::string moved = text_.Next();
        const bool in = StartsWith(moved, "     служебный внос=");
        EXPECT_TRUE(in || StartsWith(moved, "     служебный вынос=")) << moved;
        ASSERT_EQ(moved.back(), ',');
        const std::string amount = moved.substr(moved.find('=') + 1, moved.size() - moved.find('=') - 2);
        const std::string cash = text_.After("     сумма наличности в регистраторе=");
        text_.Exactly(kRule);
        text_.Exactly(" ");
        const JsonValue& d = DocumentAt(r.position, true);
        EXPECT_EQ(d["last_position"].Integer(), r.position);
        EXPECT_EQ(d["kind"].String(), in ? "cash_in" : "cash_out");
        Stamp(d, number, when);
        EXPECT_EQ(d["operator"]["number"].Integer(), op);
        EXPECT_EQ(d["operator"]["name"].String(), name);
        ExpectKeys(d["operator"], {"number", "name"});
        EXPECT_EQ(d["cash"]["amount"].Integer(), Fixed(amount, 2));
        EXPECT_EQ(d["cash"]["cash_in_register"].Integer(), Fixed(cash, 2));
        ExpectKeys(d["cash"], {"amount", "cash_in_register"});
        EXPECT_TRUE(d["opened"].Bool());
        EXPECT_TRUE(d["closed"].Bool());
        Shown(d, {"operator", "cash"});
        return;
      }
      case 17: {
        text_.Exactly("Печать комментария");
        const std::string shown = text_.After("     ");
        const JsonValue& c = RecordAt(r.position, "comment");
        EXPECT_EQ(c["text"].String(), shown);
        const std::uint32_t reference = Le(tape, r.position + 1, 4);
        EXPECT_EQ(c["aux_reference"].Integer(), reference);
        EXPECT_EQ(c["found"].Bool(), journal_.comments.count(reference) == 1);
        ExpectKeys(c, {"type", "position", "aux_reference", "found", "text"});
        return;
      }
      case 18:
        text_.Exactly("Печать штрих-кода");
        ExpectKeys(RecordAt(r.position, "barcode_print"), {"type", "position"});
        return;
      case 19: {
        text_.Exactly(" ");
        text_.Exactly(kRule);
        text_.Exactly("Открыть нефискальный чек");
        const JsonValue& d = DocumentAt(r.position, true);
        EXPECT_EQ(d["kind"].String(), "free_document");
        EXPECT_TRUE(d["opened"].Bool());
        return;
      }
      case 20: {
        text_.Exactly("Закрыть нефискальный чек");
        const auto [number, when] = DocumentLine(text_);
        text_.Exactly(kRule);
        text_.Exactly(" ");
        const JsonValue& d = DocumentAt(r.position, false);
        EXPECT_EQ(d["kind"].String(), "free_document");
        EXPECT_TRUE(d["closed"].Bool());
        Stamp(d, number, when);
        return;
      }
      default:
        FAIL() << "no such record type";
    }
  }

  std::pair<std::int64_t, std::string> Operator() {
    const std::string rest = text_.After("     оператор #");
    const std::size_t colon = rest.find(": ");
    EXPECT_NE(colon, std::string::npos) << rest;
    return {std::stoll(rest.substr(0, colon)), rest.substr(colon + 2)};
  }

  void Stamp(const JsonValue& d, std::int64_t number, const std::string& when) {
    EXPECT_EQ(d["document_number"].Integer(), number);
    EXPECT_EQ(d["date_time"].String(), when);
    const JsonValue iso = IsoOf(when);
    if (iso.IsNull()) {
      EXPECT_TRUE(d["date_time_iso"].IsNull()) << when;
    } else {
      EXPECT_EQ(d["date_time_iso"].String(), iso.String());
    }
    Shown(d, {"document_number", "date_time", "date_time_iso"});
  }

  void Adjustment(const TapeRecordAt& r) {
    static const char* const kTitles[] = {
        "Процентная скидка/надбавка на товар",    "Стоимостная скидка/надбавка на товар",
        "Процентная скидка/надбавка на подсумму", "Стоимостная скидка/надбавка на подсумму",
        "Процентная скидка/надбавка по налогу",   "Стоимостная скидка/надбавка по налогу"};
    text_.Exactly(kTitles[r.type - 6]);
    const bool percent = r.type % 2 == 0;
    const std::string sign = text_.Next();
    const bool surcharge = StartsWith(sign, "     надбавка=");
    EXPECT_TRUE(surcharge || StartsWith(sign, "     скидка=")) << sign;
    std::string value = sign.substr(sign.find('=') + 1);
    const char* suffix = r.type == 6 ? "%" : r.type == 7 || r.type == 9 ? "" : r.type == 11 ? "," : "%,";
    ASSERT_TRUE(value.size() >= std::string(suffix).size());
    EXPECT_EQ(value.substr(value.size() - std::string(suffix).size()), suffix);
    value.resize(value.size() - std::string(suffix).size());
    const JsonValue& a = RecordAt(r.position, "adjustment");
    EXPECT_EQ(a["value"].Integer(), Fixed(value, 2));
    EXPECT_EQ(a["surcharge"].Bool(), surcharge);
    EXPECT_EQ(a["surcharge"].Bool(), a["value"].Integer() > 0);
    // What the record's type byte says.
    EXPECT_EQ(a["adjustment_type"].Integer(), r.type);
    EXPECT_EQ(a["percent"].Bool(), percent);
    EXPECT_EQ(a["base"].String(), r.type <= 7 ? "item" : r.type <= 9 ? "subtotal" : "tax");
    if (r.type == 8) {
      EXPECT_EQ(a["money_amount"].Integer(), Fixed(text_.After("     в денежном выражении="), 2));
    } else {
      EXPECT_TRUE(a["money_amount"].IsNull());
    }
    if (r.type == 10 || r.type == 11) {
      EXPECT_EQ(a["tax_letter"].String(), text_.Between("     на налог=", ","));
    } else {
      EXPECT_TRUE(a["tax_letter"].IsNull());
    }
    if (r.type == 10) {
      EXPECT_EQ(a["taxable_amount"].Integer(), Fixed(text_.After("     обкладываемая сумма="), 2));
    } else {
      EXPECT_TRUE(a["taxable_amount"].IsNull());
    }
    ExpectKeys(a, {"type", "position", "adjustment_type", "base", "percent", "surcharge", "value", "money_amount",
                   "taxable_amount", "tax_letter"});
  }

  // What each document says besides its framing records' values.
  void Documents() {
    for (const JsonValue* d : documents_) {
      const std::int64_t first = (*d)["position"].Integer(), last = (*d)["last_position"].Integer();
      SCOPED_TRACE("document at " + std::to_string(first));
      // The walk met the records that frame it.
      const std::vector<std::int64_t>& framing = framed_[d];
      EXPECT_FALSE(framing.empty()) << "a document no opening or closing record of the tape made";
      // Opened when its first record opens a document, closed when its last
      // closes one.
      const std::uint8_t first_type = journal_.tape[static_cast<std::size_t>(first)];
      EXPECT_EQ((*d)["opened"].Bool(), first_type == 0 || first_type == 16 || first_type == 19);
      const std::uint8_t last_type = journal_.tape[static_cast<std::size_t>(last)];
      EXPECT_EQ((*d)["closed"].Bool(), last_type == 1 || last_type == 15 || last_type == 16 || last_type == 20);
      // Its records lie between its first and last.
      std::int64_t change = 0;
      for (const auto& [position, owner] : owner_) {
        if (owner != d) continue;
        EXPECT_GE(position, first);
        EXPECT_LE(position, last);
        const JsonValue& record = *records_.at(position);
        if (record["type"].String() == "payment" && record["change"].IsInteger()) change += record["change"].Integer();
      }
      // The change given is the payments' change added up.
      EXPECT_EQ((*d)["change"].Integer(), change);
      // Any other value must be one the text showed for one of its records,
      // or say there is none.
      static const std::set<std::string> kFrame = {"entry",       "kind",         "position",  "last_position",
                                                   "opened",      "closed",       "change",    "items",
                                                   "adjustments", "item_voids",   "payments",  "departments",
                                                   "totals",      "comments",     "barcodes"};
      const testing::JsonObject& members = d->Object();
      for (std::size_t i = 0; i < members.keys.size(); ++i) {
        const std::string& key = members.keys[i];
        if (kFrame.count(key) || shown_[d].count(key)) continue;
        EXPECT_TRUE(members.values[i].IsNull()) << key << " has a value no record of the tape shows";
      }
      static const std::set<std::string> kAll = {
          "entry",          "kind",          "position",     "last_position", "opened",       "closed",
          "document_number", "date_time",    "date_time_iso", "receipt_number", "receipt_type", "pos_number",
          "operator",       "cash",          "items",        "adjustments",    "item_voids",   "payments",
          "change",         "departments",   "totals",       "comments",       "barcodes"};
      for (const std::string& key : members.keys) EXPECT_TRUE(kAll.count(key)) << "unknown key " << key;
    }
  }

  // `value` holds exactly `keys`: a key the walk does not know is a value it
  // has not traced to the tape.
  static void ExpectKeys(const JsonValue& value, std::initializer_list<const char*> keys) {
    std::set<std::string> expected(keys.begin(), keys.end());
    const std::set<std::string> found(value.Object().keys.begin(), value.Object().keys.end());
    EXPECT_EQ(found, expected);
  }

  const Journal& journal_;
  Lines text_;
  const JsonValue& json_;
  std::map<std::int64_t, const JsonValue*> records_;
  std::map<std::int64_t, const JsonValue*> owner_;  // record position -> its document
  std::vector<const JsonValue*> documents_;
  std::map<const JsonValue*, std::vector<std::int64_t>> framed_;  // the framing records each document met
  std::map<const JsonValue*, std::set<std::string>> shown_;      // its keys a record's text showed
  std::set<std::int64_t> met_;
};

void WalkRestoration(const Journal& journal) {
  Harness harness;
  // Names with what JSON must escape and what a text line may hold.
  harness.printer.On(link::kCmdGetOperatorParams,
                     [](int n) { return OkReply({std::to_string(n), "Кассир \"" + std::to_string(n) + "\"\\смена"}); });
  harness.printer.On(link::kCmdGetPaymentParams,
                     [](int n) { return OkReply({std::to_string(n), "Форма\t" + std::to_string(n) + "; её"}); });
  // Group Г linked to А; group Д not read at all.
  harness.printer.On(link::kCmdGetTaxRate, [](int group) {
    if (group == 4) return ErrorReply("0406");
    return OkReply({std::to_string(group + 1), "1" + std::to_string(group) + ".00", "Ставка \"" + std::to_string(group) + "\"",
                    group == 3 ? "0" : "-1"});
  });
  harness.SetTapeBytes(journal.tape);
  harness.Tape().TapeLength = static_cast<std::int64_t>(journal.tape.size()) - 1;
  std::copy(journal.aux.begin(), journal.aux.end(), harness.Aux().MutableBytes().begin());
  TapeModelBuilder model(static_cast<std::int64_t>(harness.Tape().Image.Size()));
  harness.observer = &model;
  ASSERT_EQ(harness.Run(), restore::RestoreOutcome::Completed);
  const JsonValue json = JsonReader::Parse(TapeJson(model.Model(), {"test", "2024-01-01T00:00:00"}));
  Walk(journal, harness.Lines(), json).Run();
}

TEST(TextJsonWalk, TheSampleJournal) {
  const sim::SampleJournal sample = sim::MakeSampleJournal();
  Journal journal{sample.tape, sample.aux, {}, {}};
  // Every article and comment of the sample is found: the references are
  // those the sample's records carry.
  for (std::size_t at = 0; sample.tape[at] != 255; at += static_cast<std::size_t>(LengthOf(sample.tape[at]))) {
    if (sample.tape[at] == 5) journal.items.insert(Le(sample.tape, static_cast<std::int64_t>(at) + 1, 3));
    if (sample.tape[at] == 17) journal.comments.insert(Le(sample.tape, static_cast<std::int64_t>(at) + 1, 4));
  }
  WalkRestoration(journal);
}

// --- random journals --------------------------------------------------------

class RandomJournal {
 public:
  explicit RandomJournal(unsigned seed) : random_(seed) {}

  Journal Make() {
    Journal journal;
    sim::AuxBuilder aux;
    const char* const names[] = {"Молоко \"Простоквашино\"", "Сыр; твёрдый", "Хлеб\tржаной", "Back\\slash",
                                 "Две\nстроки", "Чай", "Кофе, молотый", ""};
    for (const char* name : names) {
      std::uint32_t reference = 0;
      aux.Item({.code = Pick(0, 1) ? 4820000000000ull + Pick(0, 999) : Pick(0, 99),
                .tax_group = static_cast<std::uint8_t>(Pick(0, 5)),
                .department = static_cast<std::uint8_t>(Pick(0, 255)),
                .name = sim::Cp1251(name)})
          .Tag(reference);
      items_.push_back(reference);
      journal.items.insert(reference);
    }
    for (const char* text : {"Спасибо!", "Акция \"2+1\"; до 31.12", "Строка\r\nвторая"}) {
      std::uint32_t reference = 0;
      aux.Comment(sim::Cp1251(text)).Tag(reference);
      comments_.push_back(reference);
      journal.comments.insert(reference);
    }
    const int episodes = Pick(5, 30);
    for (int i = 0; i < episodes; ++i) Episode();
    journal.tape = tape_.End();
    journal.aux = aux.End();
    return journal;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::int32_t Money() {
    switch (Pick(0, 5)) {
      case 0: return 0;
      case 1: return -Pick(1, 99999);
      case 2: return Pick(1, 9);
      default: return Pick(1, 9999999);
    }
  }
  std::uint32_t ItemReference() {
    // Now and then one that finds no article.
    return Pick(0, 15) == 0 ? static_cast<std::uint32_t>(Pick(60000, 70000)) : items_[static_cast<std::size_t>(Pick(0, static_cast<int>(items_.size()) - 1))];
  }
  std::uint32_t CommentReference() {
    return Pick(0, 10) == 0 ? static_cast<std::uint32_t>(Pick(60000, 70000)) : comments_[static_cast<std::size_t>(Pick(0, static_cast<int>(comments_.size()) - 1))];
  }
  sim::DateTime When() {
    if (Pick(0, 12) == 0) return {{static_cast<std::uint8_t>(Pick(0, 255)), 0x13, 0x08, 0x25, 0x61}};
    return sim::BcdDateTime(Pick(1, 31), Pick(1, 12), Pick(0, 99), Pick(0, 23), Pick(0, 59));
  }
  sim::DocumentStamp Stamp() { return {++number_ + Pick(0, 1), When()}; }

  void Goods(std::vector<std::uint32_t>& voidable) {
    switch (Pick(0, 9)) {
      case 0: tape_.PercentAdjustment(static_cast<std::int16_t>(Pick(-10000, 10000))); break;
      case 1: tape_.AmountAdjustment(Money()); break;
      case 2: tape_.PercentSubtotalAdjustment({static_cast<std::int16_t>(Pick(-5000, 5000)), Money()}); break;
      case 3: tape_.AmountSubtotalAdjustment(Money()); break;
      case 4: tape_.PercentTaxAdjustment({static_cast<std::int16_t>(Pick(-5000, 5000)), static_cast<std::uint8_t>(Pick(0, 6)), Money()}); break;
      case 5: tape_.AmountTaxAdjustment({Money(), static_cast<std::uint8_t>(Pick(0, 6))}); break;
      case 6: tape_.DepartmentSelect(static_cast<std::uint8_t>(Pick(0, 255))); break;
      case 7: tape_.FiscalComment(CommentReference()); break;
      case 8: tape_.BarcodePrint("4820000000017"); break;
      default: {
        std::uint32_t sale = 0;
        tape_.ItemSale({.item_reference = ItemReference(), .quantity = Pick(0, 3) == 0 ? Money() : 1000 * Pick(1, 5),
                        .price = Money()})
            .Tag(sale);
        voidable.push_back(sale);
      }
    }
  }

  void Receipt() {
    tape_.ReceiptOpen({.operator_index = static_cast<std::uint8_t>(Pick(0, 5)),
                       .pos_number = static_cast<std::uint8_t>(Pick(0, 255)),
                       .receipt_kind = static_cast<std::uint8_t>(Pick(0, 3) == 0 ? Pick(1, 2) : 0)});
    std::vector<std::uint32_t> voidable;
    for (int n = Pick(0, 8); n > 0; --n) Goods(voidable);
    if (!voidable.empty() && Pick(0, 2) == 0) {
      // A void over one of the receipt's sales up to itself.
      const std::uint32_t start = voidable[static_cast<std::size_t>(Pick(0, static_cast<int>(voidable.size()) - 1))];
      tape_.ItemVoid({.start_reference = start, .end_reference = tape_.Here()});
    }
    if (Pick(0, 1)) tape_.TotalPrint();
    for (int n = Pick(0, 2); n > 0; --n) tape_.PartialPayment({static_cast<std::uint8_t>(Pick(0, 9)), Money()});
    if (Pick(0, 4) > 0) tape_.FinalPayment({static_cast<std::uint8_t>(Pick(0, 9)), Money(), Money()});
    switch (Pick(0, 12)) {
      case 0: tape_.ReceiptVoid(Stamp()); break;
      case 1: break;  // left open: the next document begins without its close
      default: {
        const sim::DocumentStamp stamp = Stamp();
        tape_.ReceiptClose({stamp.document_number, stamp.when, static_cast<std::int16_t>(Pick(-1, 32767))});
      }
    }
  }

  void Episode() {
    switch (Pick(0, 9)) {
      case 0: {
        const sim::DocumentStamp stamp = Stamp();
        tape_.CashInOut({.document_number = stamp.document_number, .when = stamp.when,
                         .operator_index = static_cast<std::uint8_t>(Pick(0, 5)), .amount = Money(),
                         .cash = static_cast<std::uint64_t>(Pick(0, 1 << 30)) << Pick(0, 17)});
        break;
      }
      case 1:
        tape_.FreeDocumentOpen();
        for (int n = Pick(0, 3); n > 0; --n) {
          if (Pick(0, 1)) {
            tape_.FiscalComment(CommentReference());
          } else {
            tape_.BarcodePrint();
          }
        }
        if (Pick(0, 6) > 0) tape_.FreeDocumentClose(Stamp());
        break;
      case 2: {
        // Records outside any document, and a close without its opening.
        std::vector<std::uint32_t> ignored;
        Goods(ignored);
        if (Pick(0, 2) == 0) tape_.TotalPrint();
        if (Pick(0, 3) == 0) tape_.PartialPayment({static_cast<std::uint8_t>(Pick(0, 9)), Money()});
        if (Pick(0, 3) == 0) {
          const sim::DocumentStamp stamp = Stamp();
          tape_.ReceiptClose({stamp.document_number, stamp.when, 1});
        }
        break;
      }
      default:
        Receipt();
    }
  }

  std::mt19937 random_;
  sim::TapeBuilder tape_;
  std::vector<std::uint32_t> items_;
  std::vector<std::uint32_t> comments_;
  std::int32_t number_ = 0;
};

TEST(TextJsonWalk, RandomJournals) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    WalkRestoration(RandomJournal(seed).Make());
    if (HasFatalFailure() || HasFailure()) break;  // one journal's findings are enough to read
  }
}

}  // namespace
}  // namespace fjl::tapedata
