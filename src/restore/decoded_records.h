#pragma once
// The restoration's records as values, beside their lines: what a decoder
// read from the tape and the printer, handed to an observer in tape order.
// Only a run given an observer builds them, so a run that shows text alone
// pays one null check per record.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fjl::restore {

// Day, month, year, hours, minutes as stored: BCD when the printer wrote it
// well, but kept as bytes so a damaged date is still shown as it stands.
using StampBytes = std::array<std::uint8_t, 5>;

struct DocumentStamp {
  std::int32_t number = 0;  // through document number
  StampBytes when{};
};

struct ReceiptOpened {
  std::int64_t position = 0;
  std::uint8_t kind = 0;  // 0 sale, anything else return
  std::uint8_t pos_number = 0;
  std::int32_t operator_number = 0;
  std::string operator_name;
};

struct ReceiptClosed {
  std::int64_t position = 0;
  DocumentStamp stamp;
  std::int16_t receipt_number = 0;
  std::int32_t receipt_kind = 0;  // the kind the text names it by: the last receipt opened
};

struct TotalPrinted {
  std::int64_t position = 0;
};

struct PaymentMade {
  std::int64_t position = 0;
  bool final = false;
  std::uint8_t form = 0;
  std::string form_name;
  std::int32_t amount = 0;               // hundredths
  std::optional<std::int32_t> change;  // hundredths; only a final payment states it
};

struct ItemSold {
  std::int64_t position = 0;
  std::int64_t aux_reference = 0;
  bool article_found = false;  // false: the fields below are the zeros the text shows
  std::uint64_t article = 0;
  std::string tax_letter;
  std::int32_t department = 0;
  std::string name;
  std::int32_t quantity = 0;  // thousandths
  std::int32_t price = 0;     // hundredths
};

struct DepartmentSelected {
  std::int64_t position = 0;
  std::int32_t department = 0;
  std::string name;
};

enum class AdjustmentBase { Item, Subtotal, Tax };

struct AdjustmentMade {
  std::int64_t position = 0;
  std::uint8_t type = 0;  // 6..11
  AdjustmentBase base = AdjustmentBase::Item;
  bool percent = false;
  std::int32_t value = 0;  // hundredths of a percent or of the money unit; above 0 a surcharge
  std::optional<std::int32_t> money_amount;    // the percentage on the subtotal in money
  std::optional<std::int32_t> taxable_amount;  // the sum the tax percentage applies to
  std::optional<std::string> tax_letter;
};

struct ItemVoided {
  std::int64_t position = 0;
  std::int64_t start_reference = 0;  // tape positions, as matched
  std::int64_t end_reference = 0;
  std::vector<std::int64_t> cancelled_positions;  // the records whose lines the void repeats
  std::vector<std::string> cancelled_lines;       // those lines, without the "-" the text adds
};

struct ReceiptVoided {
  std::int64_t position = 0;
  DocumentStamp stamp;
};

struct CashMoved {
  std::int64_t position = 0;
  DocumentStamp stamp;
  std::int32_t operator_number = 0;
  std::string operator_name;
  std::int32_t amount = 0;           // hundredths; above 0 paid in, otherwise taken out
  std::int64_t cash_in_register = 0;  // hundredths
};

struct CommentPrinted {
  std::int64_t position = 0;
  std::uint32_t aux_reference = 0;
  bool found = false;
  std::string text;
};

struct BarcodePrinted {
  std::int64_t position = 0;
};

struct FreeDocumentOpened {
  std::int64_t position = 0;
};

struct FreeDocumentClosed {
  std::int64_t position = 0;
  DocumentStamp stamp;
};

using DecodedRecord =
    std::variant<ReceiptOpened, ReceiptClosed, TotalPrinted, PaymentMade, ItemSold, DepartmentSelected, AdjustmentMade,
                 ItemVoided, ReceiptVoided, CashMoved, CommentPrinted, BarcodePrinted, FreeDocumentOpened,
                 FreeDocumentClosed>;

std::int64_t PositionOf(const DecodedRecord& record);

struct TaxGroupInfo {
  std::string letter;
  bool read = false;  // false: the printer did not answer; the text has no line for it
  std::int64_t type_code = 0;
  std::string type_name;
  std::string rate;  // the printer's own text, e.g. "20.00"
  std::string name;
  std::optional<std::string> linked_group;
};

struct TapeHeaderInfo {
  std::string serial_number;
  std::string fiscal_number;
  std::string id_number;
  std::string tax_number;
  std::vector<TaxGroupInfo> tax_groups;
};

// How the record walk ended.
enum class WalkEndKind {
  EndMarker,    // the end marker at `position`
  LengthBound,  // the known tape length reached without meeting a marker
  UnknownType,  // a type without a length: nothing after it can be framed
  PastImage,    // a record running past the end of the image
  Stopped,      // a decoder stopped the run (its message was shown)
  Cancelled,    // the user stopped it
};

struct TapeWalkEnd {
  WalkEndKind kind = WalkEndKind::EndMarker;
  std::int64_t position = 0;
  std::uint8_t type = 0;  // the type byte at `position`, when there is one
};

class RecordObserver {
 public:
  virtual ~RecordObserver() = default;
  virtual void OnHeader(const TapeHeaderInfo& header) = 0;
  // Each decoded record once, after its lines, in tape order.
  virtual void OnRecord(DecodedRecord record) = 0;
  virtual void OnWalkEnd(const TapeWalkEnd& end) = 0;
};

}  // namespace fjl::restore
