#include "tapedata/tape_model.h"

#include <type_traits>
#include <utility>

namespace fjl::tapedata {

namespace r = restore;

std::int64_t Document::Change() const {
  std::int64_t change = 0;
  for (const r::PaymentMade& payment : payments) change += payment.change.value_or(0);
  return change;
}

const char* KindName(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::SaleReceipt:
      return "sale_receipt";
    case DocumentKind::ReturnReceipt:
      return "return_receipt";
    case DocumentKind::VoidedReceipt:
      return "voided_receipt";
    case DocumentKind::CashIn:
      return "cash_in";
    case DocumentKind::CashOut:
      return "cash_out";
    case DocumentKind::FreeDocument:
      return "free_document";
  }
  return "";
}

TapeModelBuilder::TapeModelBuilder(std::int64_t image_capacity) { model_.image_capacity = image_capacity; }

void TapeModelBuilder::OnHeader(const r::TapeHeaderInfo& header) { model_.header = header; }

void TapeModelBuilder::OnWalkEnd(const r::TapeWalkEnd& end) { model_.walk_end = end; }

Document* TapeModelBuilder::Open() {
  return open_ ? &std::get<Document>(model_.entries[*open_]) : nullptr;
}

// A document that begins while another is open leaves that one unclosed:
// the tape shows no close for it, and the model must not invent one.
Document& TapeModelBuilder::Start(DocumentKind kind, std::int64_t position) {
  Document document;
  document.kind = kind;
  document.position = position;
  document.last_position = position;
  model_.entries.emplace_back(std::move(document));
  open_ = model_.entries.size() - 1;
  return std::get<Document>(model_.entries.back());
}

void TapeModelBuilder::Leave(r::DecodedRecord record) { model_.entries.push_back(LooseRecord{std::move(record)}); }

void TapeModelBuilder::OnRecord(r::DecodedRecord record) {
  const std::int64_t position = r::PositionOf(record);
  Document* open = Open();
  // Which open document a closing record may close.
  const bool receipt_open = open != nullptr && open->IsReceipt();
  const bool free_open = open != nullptr && open->kind == DocumentKind::FreeDocument;

  std::visit(
      [&](auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, r::ReceiptOpened>) {
          Start(value.kind == 0 ? DocumentKind::SaleReceipt : DocumentKind::ReturnReceipt, position).opened =
              std::move(value);
        } else if constexpr (std::is_same_v<T, r::ReceiptClosed>) {
          const DocumentKind kind = value.receipt_kind == 0 ? DocumentKind::SaleReceipt : DocumentKind::ReturnReceipt;
          Document& document = receipt_open ? *open : Start(kind, position);
          document.kind = kind;
          document.stamp = value.stamp;
          document.receipt_number = value.receipt_number;
          document.receipt_kind = value.receipt_kind;
          document.last_position = position;
          open_.reset();
        } else if constexpr (std::is_same_v<T, r::ReceiptVoided>) {
          Document& document = receipt_open ? *open : Start(DocumentKind::VoidedReceipt, position);
          document.kind = DocumentKind::VoidedReceipt;
          document.stamp = value.stamp;
          document.last_position = position;
          open_.reset();
        } else if constexpr (std::is_same_v<T, r::CashMoved>) {
          // Cash in or out is a document of its own; a receipt open around
          // it stays open.
          Document document;
          document.kind = value.amount > 0 ? DocumentKind::CashIn : DocumentKind::CashOut;
          document.position = position;
          document.last_position = position;
          document.stamp = value.stamp;
          document.cash = std::move(value);
          model_.entries.emplace_back(std::move(document));
        } else if constexpr (std::is_same_v<T, r::FreeDocumentOpened>) {
          Start(DocumentKind::FreeDocument, position).free_document_opened = true;
        } else if constexpr (std::is_same_v<T, r::FreeDocumentClosed>) {
          Document& document = free_open ? *open : Start(DocumentKind::FreeDocument, position);
          document.stamp = value.stamp;
          document.last_position = position;
          open_.reset();
        } else {
          if (open == nullptr) {
            Leave(std::move(record));
            return;
          }
          open->last_position = position;
          if constexpr (std::is_same_v<T, r::ItemSold>) open->items.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::AdjustmentMade>) open->adjustments.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::ItemVoided>) open->item_voids.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::PaymentMade>) open->payments.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::DepartmentSelected>) open->departments.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::TotalPrinted>) open->totals.push_back(value);
          if constexpr (std::is_same_v<T, r::CommentPrinted>) open->comments.push_back(std::move(value));
          if constexpr (std::is_same_v<T, r::BarcodePrinted>) open->barcodes.push_back(value);
        }
      },
      record);
}

}  // namespace fjl::tapedata
