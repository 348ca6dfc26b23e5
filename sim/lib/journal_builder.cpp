#include "sim/lib/journal_builder.h"

#include <stdexcept>

#include "text/cp1251.h"

namespace fjl::sim {
namespace {

constexpr std::array<std::uint8_t, 21> kTapeSizes = {4, 14, 1, 6, 10, 12, 3, 5, 7, 5, 8,
                                                     6, 2, 0, 13, 24, 23, 5, 18, 1, 10};

void PutLe(Bytes& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    value >>= 8;
  }
}

void PutSigned(Bytes& out, std::int64_t value, int width) {
  PutLe(out, static_cast<std::uint64_t>(value), width);
}

void PutStamp(Bytes& out, std::int32_t number, const DateTime& when) {
  PutSigned(out, number, 4);
  out.insert(out.end(), when.bytes.begin(), when.bytes.end());
}

std::uint8_t Bcd(int value) {
  if (value < 0 || value > 99) throw std::out_of_range("BCD value outside 0..99");
  return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

}  // namespace

std::size_t TapeRecordSize(std::uint8_t type) {
  return type < kTapeSizes.size() ? kTapeSizes[type] : 0;
}

DateTime BcdDateTime(int day, int month, int year, int hour, int minute) {
  return DateTime{{Bcd(day), Bcd(month), Bcd(year), Bcd(hour), Bcd(minute)}};
}

std::string Cp1251(std::string_view utf8) { return text::Utf8ToCp1251(utf8); }

TapeBuilder& TapeBuilder::Add(Bytes record) {
  if (record.size() != TapeRecordSize(record[0])) throw std::logic_error("tape record of wrong size");
  last_ = Here();
  bytes_.insert(bytes_.end(), record.begin(), record.end());
  return *this;
}

TapeBuilder& TapeBuilder::ReceiptOpen(const ReceiptOpenFields& f) {
  return Add({kReceiptOpen, f.operator_index, f.pos_number, f.receipt_kind});
}

TapeBuilder& TapeBuilder::ReceiptClose(const ReceiptCloseFields& f) {
  Bytes r{kReceiptClose};
  PutStamp(r, f.document_number, f.when);
  PutSigned(r, f.receipt_number, 2);
  PutLe(r, 0, 2);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::TotalPrint() { return Add({kTotalPrint}); }

TapeBuilder& TapeBuilder::PartialPayment(const PartialPaymentFields& f) {
  Bytes r{kPartialPayment, f.payment_form};
  PutSigned(r, f.amount, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::FinalPayment(const FinalPaymentFields& f) {
  Bytes r{kFinalPayment, f.payment_form};
  PutSigned(r, f.amount, 4);
  PutSigned(r, f.change, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::ItemSale(const ItemSaleFields& f) {
  if (f.item_reference > 0xFFFFFF) throw std::out_of_range("item reference wider than 24 bits");
  Bytes r{kItemSale};
  PutLe(r, f.item_reference, 3);
  PutSigned(r, f.quantity, 4);
  PutSigned(r, f.price, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::PercentAdjustment(std::int16_t percent) {
  Bytes r{kPercentAdjustment};
  PutSigned(r, percent, 2);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::AmountAdjustment(std::int32_t amount) {
  Bytes r{kAmountAdjustment};
  PutSigned(r, amount, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::PercentSubtotalAdjustment(const PercentSubtotalFields& f) {
  Bytes r{kPercentSubtotalAdjustment};
  PutSigned(r, f.percent, 2);
  PutSigned(r, f.amount, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::AmountSubtotalAdjustment(std::int32_t amount) {
  Bytes r{kAmountSubtotalAdjustment};
  PutSigned(r, amount, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::PercentTaxAdjustment(const PercentTaxFields& f) {
  Bytes r{kPercentTaxAdjustment};
  PutSigned(r, f.percent, 2);
  r.push_back(f.tax_group);
  PutSigned(r, f.taxable_amount, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::AmountTaxAdjustment(const AmountTaxFields& f) {
  Bytes r{kAmountTaxAdjustment};
  PutSigned(r, f.amount, 4);
  r.push_back(f.tax_group);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::DepartmentSelect(std::uint8_t department) {
  return Add({kDepartmentSelect, department});
}

TapeBuilder& TapeBuilder::ItemVoid(const ItemVoidFields& f) {
  Bytes r{kItemVoid, 0, 0, 0, 0};
  PutLe(r, f.start_reference, 4);
  PutLe(r, f.end_reference, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::ReceiptVoid(const DocumentStamp& f) {
  Bytes r(13, 0);
  r[0] = kReceiptVoid;
  PutStamp(r, f.document_number, f.when);
  PutLe(r, 0, 2);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::CashInOut(const CashInOutFields& f) {
  if (f.cash > 0xFFFFFFFFFFFFull) throw std::out_of_range("cash wider than 48 bits");
  Bytes r{kCashInOut};
  PutStamp(r, f.document_number, f.when);
  r.push_back(f.operator_index);
  PutSigned(r, f.amount, 4);
  PutLe(r, f.cash, 6);
  PutLe(r, 0, 2);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::FiscalComment(std::uint32_t comment_reference) {
  Bytes r{kFiscalComment};
  PutLe(r, comment_reference, 4);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::BarcodePrint(std::string_view data) {
  if (data.size() > 17) throw std::length_error("barcode data longer than 17 bytes");
  Bytes r(18, 0);
  r[0] = kBarcodePrint;
  for (std::size_t i = 0; i < data.size(); ++i) r[1 + i] = static_cast<std::uint8_t>(data[i]);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::FreeDocumentOpen() { return Add({kFreeDocumentOpen}); }

TapeBuilder& TapeBuilder::FreeDocumentClose(const DocumentStamp& f) {
  Bytes r{kFreeDocumentClose};
  PutStamp(r, f.document_number, f.when);
  return Add(std::move(r));
}

TapeBuilder& TapeBuilder::Raw(std::span<const std::uint8_t> bytes) {
  last_ = Here();
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

TapeBuilder& TapeBuilder::Tag(std::uint32_t& position) {
  position = last_;
  return *this;
}

Bytes TapeBuilder::End() const {
  Bytes image = bytes_;
  image.push_back(kTapeEndMarker);
  return image;
}

AuxBuilder& AuxBuilder::Record(std::uint8_t type, std::span<const std::uint8_t> payload) {
  const std::size_t length = 5 + payload.size() + 2;
  if (length > 255) throw std::length_error("auxiliary record longer than 255 bytes");
  ++ordinal_;
  const std::size_t start = bytes_.size();
  bytes_.push_back(static_cast<std::uint8_t>(length));
  bytes_.push_back(type);
  PutLe(bytes_, ordinal_, 3);
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
  const std::uint32_t sum = FrameSum(std::span(bytes_).subspan(start));
  PutLe(bytes_, sum & 0xFFFF, 2);
  last_reference_ = static_cast<std::uint32_t>(start + 5);
  return *this;
}

AuxBuilder& AuxBuilder::Item(const AuxItem& item) {
  if (item.code > 0xFFFFFFFFFFFFull) throw std::out_of_range("article code wider than 48 bits");
  Bytes payload;
  PutLe(payload, item.code, 6);
  payload.push_back(item.tax_group);
  payload.push_back(item.department);
  payload.push_back(0);
  payload.insert(payload.end(), item.name.begin(), item.name.end());
  return Record(kItemParameters, payload);
}

AuxBuilder& AuxBuilder::Department(std::uint8_t number, std::string_view name) {
  Bytes payload{number};
  payload.insert(payload.end(), name.begin(), name.end());
  return Record(kDepartmentRecord, payload);
}

AuxBuilder& AuxBuilder::Unit(std::uint8_t code, std::string_view name) {
  Bytes payload{code};
  payload.insert(payload.end(), name.begin(), name.end());
  return Record(kUnitRecord, payload);
}

AuxBuilder& AuxBuilder::Comment(std::string_view text) {
  Bytes payload(text.begin(), text.end());
  return Record(kCommentRecord, payload);
}

AuxBuilder& AuxBuilder::Raw(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

AuxBuilder& AuxBuilder::Tag(std::uint32_t& reference) {
  reference = last_reference_;
  return *this;
}

Bytes AuxBuilder::End() const {
  Bytes image = bytes_;
  image.push_back(0xFF);
  image.push_back(kAuxEnd);
  return image;
}

}  // namespace fjl::sim
