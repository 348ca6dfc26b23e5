#include "tapedata/tape_csv.h"

#include <algorithm>

#include "tapedata/out_buffer.h"
#include "tapedata/stamp_text.h"
#include "tapedata/tape_json.h"

namespace fjl::tapedata {
namespace {

namespace r = restore;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kSeparator = ';';
constexpr char kDecimalMark = ',';

// A spreadsheet takes a field opening with one of these for a formula (or,
// with "-", for a number): a name programmed as "=HYPERLINK(...)" would run
// on a double-click, and "-10% скидка" would arrive as #NAME?.
bool ReadAsFormula(std::string_view text) {
  return !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@');
}

// One text field: quoted when it holds ";", '"', CR or LF; an apostrophe
// before a field a spreadsheet would take for a formula, which is how a
// spreadsheet itself marks a cell typed as text.
void WriteField(OutBuffer& out, std::string_view text) {
  bool quoted = false;
  for (const char c : text) quoted = quoted || c == ';' || c == '"' || c == '\r' || c == '\n';
  const bool as_text = ReadAsFormula(text);
  if (!quoted) {
    if (as_text) out.Put('\'');
    return out.Put(text);
  }
  // Every quote doubled, and the two around it.
  char* at = out.Room(text.size() * 2 + 3);
  *at++ = '"';
  if (as_text) *at++ = '\'';
  for (const char c : text) {
    if (c == '"') *at++ = '"';
    *at++ = c;
  }
  *at++ = '"';
  out.Commit(at);
}

class CsvTable {
 public:
  // `row_bytes`: about what a row takes, so the buffer is reserved once.
  CsvTable(std::string_view header, std::size_t rows, std::size_t row_bytes)
      : out_(kByteOrderMark.size() + header.size() + 2 + rows * row_bytes) {
    out_.Put(kByteOrderMark);
    out_.Put(header);
    out_.Put(std::string_view("\r\n"));
  }

  void Text(std::string_view text) {
    Next();
    WriteField(out_, text);
  }
  void Integer(std::int64_t value) {
    Next();
    out_.Integer(value);
  }
  void Unsigned(std::uint64_t value) {
    Next();
    out_.Unsigned(value);
  }
  // Hundredths or thousandths as a decimal with the decimal mark.
  void Fixed(std::int64_t value, int digits) {
    Next();
    out_.DecimalFraction(value, digits, kDecimalMark);
  }
  void Flag(bool value) { Integer(value ? 1 : 0); }
  void Empty() { Next(); }
  template <typename T>
  void OptionalFixed(const std::optional<T>& value, int digits) {
    if (value) {
      Fixed(*value, digits);
    } else {
      Empty();
    }
  }
  void Stamp(const std::optional<r::DocumentStamp>& stamp) {
    if (!stamp) {
      Empty();
      Empty();
      Empty();
      return;
    }
    Integer(stamp->number);
    Next();
    char* at = out_.Room(kStampTextSize);
    WriteStampText(at, stamp->when);
    out_.Commit(at + kStampTextSize);
    Next();
    if (StampIsValid(stamp->when)) {
      at = out_.Room(kStampIsoSize);
      WriteStampIso(at, stamp->when);
      out_.Commit(at + kStampIsoSize);
    }
  }
  void EndRow() {
    out_.Put(std::string_view("\r\n"));
    first_ = true;
  }
  std::string Take() { return out_.Take(); }

 private:
  void Next() {
    if (!first_) out_.Put(kSeparator);
    first_ = false;
  }

  OutBuffer out_;
  bool first_ = true;
};

constexpr std::string_view kDocumentsHeader =
    "position;kind;opened;closed;document_number;date_time;date_time_iso;receipt_number;receipt_type;pos_number;"
    "operator_number;operator_name;items;paid;change;cash_amount;cash_in_register";
constexpr std::string_view kItemsHeader =
    "document_position;document_number;position;article;name;department;tax_letter;quantity;price;amount;voided";
constexpr std::string_view kPaymentsHeader =
    "document_position;document_number;position;final;form;form_name;amount;change";

// The document a row belongs to: its position and number, both empty for
// a record outside any document.
void DocumentColumns(CsvTable& table, const Document* d) {
  if (d == nullptr) {
    table.Empty();
    table.Empty();
    return;
  }
  table.Integer(d->position);
  if (d->stamp) {
    table.Integer(d->stamp->number);
  } else {
    table.Empty();
  }
}

bool Voided(const Document* d, std::int64_t position) {
  if (d == nullptr) return false;
  for (const r::ItemVoided& item_void : d->item_voids) {
    const auto& cancelled = item_void.cancelled_positions;
    if (std::find(cancelled.begin(), cancelled.end(), position) != cancelled.end()) return true;
  }
  return false;
}

void ItemRow(CsvTable& table, const Document* d, const r::ItemSold& item) {
  DocumentColumns(table, d);
  table.Integer(item.position);
  table.Unsigned(item.article);
  table.Text(item.name);
  table.Integer(item.department);
  table.Text(item.tax_letter);
  table.Fixed(item.quantity, 3);
  table.Fixed(item.price, 2);
  table.OptionalFixed(ItemAmount(item), 2);
  table.Flag(Voided(d, item.position));
  table.EndRow();
}

void PaymentRow(CsvTable& table, const Document* d, const r::PaymentMade& payment) {
  DocumentColumns(table, d);
  table.Integer(payment.position);
  table.Flag(payment.final);
  table.Integer(payment.form);
  table.Text(payment.form_name);
  table.Fixed(payment.amount, 2);
  table.OptionalFixed(payment.change, 2);
  table.EndRow();
}

void DocumentRow(CsvTable& table, const Document& d) {
  table.Integer(d.position);
  table.Text(KindName(d.kind));
  table.Flag(d.opened.has_value() || d.free_document_opened || d.cash.has_value());
  table.Flag(d.Closed());
  table.Stamp(d.stamp);
  if (d.receipt_number) {
    table.Integer(*d.receipt_number);
  } else {
    table.Empty();
  }
  if (d.opened) {
    table.Text(d.opened->kind == 0 ? "sale" : "return");
    table.Integer(d.opened->pos_number);
  } else {
    table.Empty();
    table.Empty();
  }
  if (d.opened) {
    table.Integer(d.opened->operator_number);
    table.Text(d.opened->operator_name);
  } else if (d.cash) {
    table.Integer(d.cash->operator_number);
    table.Text(d.cash->operator_name);
  } else {
    table.Empty();
    table.Empty();
  }
  table.Integer(static_cast<std::int64_t>(d.items.size()));
  std::int64_t paid = 0;
  for (const r::PaymentMade& payment : d.payments) paid += payment.amount;
  table.Fixed(paid, 2);
  table.Fixed(d.Change(), 2);
  if (d.cash) {
    table.Fixed(d.cash->amount, 2);
    table.Fixed(d.cash->cash_in_register, 2);
  } else {
    table.Empty();
    table.Empty();
  }
  table.EndRow();
}

}  // namespace

std::string CsvField(std::string_view text) {
  OutBuffer out(text.size() * 2 + 2);
  WriteField(out, text);
  return out.Take();
}

TapeCsv TapeCsvTables(const TapeModel& model) {
  std::size_t documents = 0, items = 0, payments = 0;
  for (const TapeEntry& entry : model.entries) {
    if (const auto* d = std::get_if<Document>(&entry)) {
      ++documents;
      items += d->items.size();
      payments += d->payments.size();
    } else {
      ++items;  // at most one row of either table
      ++payments;
    }
  }
  // Row sizes as the benchmark's full tape has them, with some room.
  CsvTable document_table(kDocumentsHeader, documents, 160);
  CsvTable item_table(kItemsHeader, items, 110);
  CsvTable payment_table(kPaymentsHeader, payments, 64);
  for (const TapeEntry& entry : model.entries) {
    if (const auto* d = std::get_if<Document>(&entry)) {
      DocumentRow(document_table, *d);
      for (const r::ItemSold& item : d->items) ItemRow(item_table, d, item);
      for (const r::PaymentMade& payment : d->payments) PaymentRow(payment_table, d, payment);
      continue;
    }
    const r::DecodedRecord& record = std::get<LooseRecord>(entry).record;
    if (const auto* item = std::get_if<r::ItemSold>(&record)) ItemRow(item_table, nullptr, *item);
    if (const auto* payment = std::get_if<r::PaymentMade>(&record)) PaymentRow(payment_table, nullptr, *payment);
  }
  return {document_table.Take(), item_table.Take(), payment_table.Take()};
}

}  // namespace fjl::tapedata
