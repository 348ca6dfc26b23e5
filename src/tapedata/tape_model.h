#pragma once
// The control tape as data: the documents the restoration's decoded records
// make up, in tape order, with the records that belong to none kept where
// they stood. Built while the restoration walks, never from its text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "restore/decoded_records.h"

namespace fjl::tapedata {

enum class DocumentKind { SaleReceipt, ReturnReceipt, VoidedReceipt, CashIn, CashOut, FreeDocument };

struct Document {
  DocumentKind kind = DocumentKind::SaleReceipt;
  std::int64_t position = 0;  // its first record on the tape
  // The opening record; absent when the tape shows only the close.
  std::optional<restore::ReceiptOpened> opened;
  bool free_document_opened = false;
  // The closing record's number and stamp (the void's for a voided receipt,
  // the record's own for cash in or out); absent while still open.
  std::optional<restore::DocumentStamp> stamp;
  std::optional<std::int16_t> receipt_number;
  // The kind a closed receipt was named by (0 sale, else return).
  std::optional<std::int32_t> receipt_kind;
  std::optional<restore::CashMoved> cash;
  std::vector<restore::ItemSold> items;
  std::vector<restore::AdjustmentMade> adjustments;
  std::vector<restore::ItemVoided> item_voids;
  std::vector<restore::PaymentMade> payments;
  std::vector<restore::DepartmentSelected> departments;
  std::vector<restore::TotalPrinted> totals;
  std::vector<restore::CommentPrinted> comments;
  std::vector<restore::BarcodePrinted> barcodes;
  std::int64_t last_position = 0;  // its last record on the tape

  bool Closed() const { return stamp.has_value(); }
  bool IsReceipt() const {
    return kind == DocumentKind::SaleReceipt || kind == DocumentKind::ReturnReceipt ||
           kind == DocumentKind::VoidedReceipt;
  }
  // The change given: the sum of the final payments' change.
  std::int64_t Change() const;
};

// A record outside any document, where it stood.
struct LooseRecord {
  restore::DecodedRecord record;
};

using TapeEntry = std::variant<Document, LooseRecord>;

struct TapeModel {
  std::optional<restore::TapeHeaderInfo> header;
  std::vector<TapeEntry> entries;
  std::optional<restore::TapeWalkEnd> walk_end;
  std::int64_t image_capacity = 0;  // bytes the tape image holds
};

// Observes one restoration and files its records into a TapeModel.
class TapeModelBuilder final : public restore::RecordObserver {
 public:
  explicit TapeModelBuilder(std::int64_t image_capacity);

  void OnHeader(const restore::TapeHeaderInfo& header) override;
  void OnRecord(restore::DecodedRecord record) override;
  void OnWalkEnd(const restore::TapeWalkEnd& end) override;

  const TapeModel& Model() const { return model_; }
  TapeModel Take() { return std::move(model_); }

 private:
  Document* Open();
  Document& Start(DocumentKind kind, std::int64_t position);
  void Leave(restore::DecodedRecord record);

  TapeModel model_;
  std::optional<std::size_t> open_;  // index of the open document in entries
};

const char* KindName(DocumentKind kind);

}  // namespace fjl::tapedata
