#pragma once
// Whether a restored tape holds together: the documents' through numbers run
// on without a gap, a repeat or a step back, their dates do not go back,
// every closed receipt was paid, every document opens and closes, every
// record stands inside a document and finds what it refers to. Each finding
// names the rule it breaks. A finding is information for the engineer: it
// changes nothing in the restored text or the exports.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tapedata/tape_model.h"

namespace fjl::tapecheck {

enum class Rule {
  DocumentNumberGap,
  DocumentNumberRepeated,
  DocumentNumberBack,
  DateBack,
  DateInvalid,
  ReceiptUnpaid,
  DocumentNotClosed,
  DocumentNotOpened,
  RecordOutsideDocument,
  ArticleMissing,
  CommentMissing,
  TapeEnd,
};

struct RuleInfo {
  Rule rule;
  std::string_view id;           // stable, for scripts: "document-number-gap"
  std::string_view title;        // Russian, a few words
  std::string_view description;  // Russian: what the rule asks of a tape
};

// Every rule, in the order the report lists them.
std::span<const RuleInfo> Rules();
const RuleInfo& InfoOf(Rule rule);

// One finding: where, which rule, and the values that rule names. The
// words are made when a report is written, so a check over a long tape
// makes no text.
struct Finding {
  Rule rule = Rule::DocumentNumberGap;
  std::int64_t position = 0;  // tape position of the document or record
  std::optional<std::int32_t> document_number;
  tapedata::DocumentKind kind = tapedata::DocumentKind::SaleReceipt;  // of the document, where there is one
  // DocumentNumberGap: the first and last number missing.
  // DocumentNumberRepeated: the position where the number stood first.
  // DocumentNumberBack, DateBack: the previous document's number (first).
  // ArticleMissing, CommentMissing: the auxiliary reference (first).
  // TapeEnd: the restore::WalkEndKind (first) and the type byte (second).
  std::int64_t first = 0;
  std::int64_t second = 0;
  restore::StampBytes when{};    // DateBack, DateInvalid: the document's stamp
  restore::StampBytes before{};  // DateBack: the previous document's stamp
  std::uint8_t record_type = 0;  // RecordOutsideDocument: the record's tape type
};

struct TapeCheck {
  std::string serial_number;
  std::size_t documents = 0;
  std::optional<std::int32_t> lowest_number;  // of the documents with a number
  std::optional<std::int32_t> highest_number;
  std::optional<restore::StampBytes> first_stamp;  // the first and last valid stamp in tape order
  std::optional<restore::StampBytes> last_stamp;
  std::vector<Finding> findings;  // in tape order

  bool Clean() const { return findings.empty(); }
  std::size_t CountOf(Rule rule) const;
};

TapeCheck CheckTape(const tapedata::TapeModel& model);

// The tape type byte of a decoded record (0 to 20).
std::uint8_t TapeTypeOf(const restore::DecodedRecord& record);

}  // namespace fjl::tapecheck
