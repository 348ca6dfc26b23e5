#include "tapecheck/tape_check.h"

#include <algorithm>
#include <type_traits>

#include "tapedata/stamp_text.h"

namespace fjl::tapecheck {
namespace {

namespace r = restore;
using tapedata::Document;
using tapedata::DocumentKind;

constexpr RuleInfo kRules[] = {
    {Rule::DocumentNumberGap, "document-number-gap", "пропуск сквозного номера",
     "сквозные номера документов идут подряд; пропущенный номер — документ, которого на ленте нет"},
    {Rule::DocumentNumberRepeated, "document-number-repeated", "повтор сквозного номера",
     "каждый сквозной номер стоит на ленте один раз"},
    {Rule::DocumentNumberBack, "document-number-back", "сквозной номер меньше предыдущего",
     "сквозные номера растут в порядке ленты"},
    {Rule::DateBack, "date-back", "дата раньше предыдущей",
     "дата и время документов не убывают в порядке ленты"},
    {Rule::DateInvalid, "date-invalid", "дата не читается",
     "дата и время документа — двоично-десятичные числа существующих дня и времени"},
    {Rule::ReceiptUnpaid, "receipt-unpaid", "чек без оплаты",
     "закрытый чек продажи или возврата несёт хотя бы одну оплату"},
    {Rule::DocumentNotClosed, "document-not-closed", "документ не закрыт",
     "открытый документ закрывается своей записью до начала следующего и до конца ленты"},
    {Rule::DocumentNotOpened, "document-not-opened", "закрытие без открытия",
     "закрытию документа предшествует его открытие"},
    {Rule::RecordOutsideDocument, "record-outside-document", "запись вне документа",
     "продажи, скидки, оплаты, итоги, комментарии и штрих-коды стоят внутри документа"},
    {Rule::ArticleMissing, "article-missing", "артикул не найден",
     "продажа ссылается на запись артикула во вспомогательных данных"},
    {Rule::CommentMissing, "comment-missing", "комментарий не найден",
     "комментарий ссылается на запись комментария во вспомогательных данных"},
    {Rule::TapeEnd, "tape-end", "лента без признака конца",
     "лента кончается признаком конца (байт 255)"},
};

struct Numbered {
  std::int32_t number;
  std::int64_t position;
  std::size_t order;  // the document's place among the numbered ones, in tape order
};

class Checker {
 public:
  explicit Checker(TapeCheck& check) : check_(check) {}

  void CheckDocument(const Document& d) {
    ++check_.documents;
    const bool opened = d.opened.has_value() || d.free_document_opened || d.cash.has_value();
    if (!opened) Add(Rule::DocumentNotOpened, d);
    if (!d.Closed()) Add(Rule::DocumentNotClosed, d);
    const bool receipt = d.kind == DocumentKind::SaleReceipt || d.kind == DocumentKind::ReturnReceipt;
    if (receipt && d.Closed() && d.payments.empty()) Add(Rule::ReceiptUnpaid, d);
    for (const r::ItemSold& item : d.items) Item(item);
    for (const r::CommentPrinted& comment : d.comments) Comment(comment);
    if (d.stamp) Stamp(d);
  }

  void CheckLoose(const r::DecodedRecord& record) {
    Finding finding;
    finding.rule = Rule::RecordOutsideDocument;
    finding.position = r::PositionOf(record);
    finding.record_type = TapeTypeOf(record);
    check_.findings.push_back(finding);
    if (const auto* item = std::get_if<r::ItemSold>(&record)) Item(*item);
    if (const auto* comment = std::get_if<r::CommentPrinted>(&record)) Comment(*comment);
  }

  void CheckWalkEnd(const r::TapeWalkEnd& end) {
    if (end.kind == r::WalkEndKind::EndMarker) return;
    Finding finding;
    finding.rule = Rule::TapeEnd;
    finding.position = end.position;
    finding.first = static_cast<std::int64_t>(end.kind);
    finding.second = end.type;
    check_.findings.push_back(finding);
  }

  // The number rules need the whole tape: a gap is only a gap once no
  // later document fills it.
  void CheckNumbers() {
    std::vector<Numbered> sorted = numbered_;
    std::sort(sorted.begin(), sorted.end(), [](const Numbered& a, const Numbered& b) {
      return a.number != b.number ? a.number < b.number : a.position < b.position;
    });
    std::vector<bool> repeated(numbered_.size(), false);
    for (std::size_t i = 1; i < sorted.size(); ++i) {
      const Numbered& before = sorted[i - 1];
      const Numbered& here = sorted[i];
      if (here.number == before.number) {
        repeated[here.order] = true;
        // The position where the number first stood: the first of its run.
        std::size_t first = i - 1;
        while (first > 0 && sorted[first - 1].number == here.number) --first;
        AddNumber(Rule::DocumentNumberRepeated, here, sorted[first].position);
      } else if (std::int64_t{here.number} > std::int64_t{before.number} + 1) {
        Finding& gap = AddNumber(Rule::DocumentNumberGap, here, std::int64_t{before.number} + 1);
        gap.second = std::int64_t{here.number} - 1;
      }
    }
    for (std::size_t i = 1; i < numbered_.size(); ++i) {
      if (!repeated[i] && numbered_[i].number < numbered_[i - 1].number) {
        AddNumber(Rule::DocumentNumberBack, numbered_[i], numbered_[i - 1].number);
      }
    }
    if (!sorted.empty()) {
      check_.lowest_number = sorted.front().number;
      check_.highest_number = sorted.back().number;
    }
  }

 private:
  Finding& Add(Rule rule, const Document& d) {
    Finding finding;
    finding.rule = rule;
    finding.position = d.position;
    finding.kind = d.kind;
    if (d.stamp) finding.document_number = d.stamp->number;
    check_.findings.push_back(finding);
    return check_.findings.back();
  }

  Finding& AddNumber(Rule rule, const Numbered& document, std::int64_t first) {
    Finding finding;
    finding.rule = rule;
    finding.position = document.position;
    finding.document_number = document.number;
    finding.kind = kinds_[document.order];
    finding.first = first;
    check_.findings.push_back(finding);
    return check_.findings.back();
  }

  void Item(const r::ItemSold& item) {
    if (item.article_found) return;
    Finding finding;
    finding.rule = Rule::ArticleMissing;
    finding.position = item.position;
    finding.first = item.aux_reference;
    check_.findings.push_back(finding);
  }

  void Comment(const r::CommentPrinted& comment) {
    if (comment.found) return;
    Finding finding;
    finding.rule = Rule::CommentMissing;
    finding.position = comment.position;
    finding.first = comment.aux_reference;
    check_.findings.push_back(finding);
  }

  void Stamp(const Document& d) {
    numbered_.push_back({d.stamp->number, d.position, numbered_.size()});
    kinds_.push_back(d.kind);
    const r::StampBytes& when = d.stamp->when;
    if (!tapedata::StampIsValid(when)) {
      Add(Rule::DateInvalid, d).when = when;
      return;
    }
    if (previous_ && tapedata::StampOrder(when) < tapedata::StampOrder(previous_->when)) {
      Finding& back = Add(Rule::DateBack, d);
      back.when = when;
      back.before = previous_->when;
      back.first = previous_->number;
    }
    previous_ = d.stamp;
    if (!check_.first_stamp) check_.first_stamp = when;
    check_.last_stamp = when;
  }

  TapeCheck& check_;
  std::vector<Numbered> numbered_;
  std::vector<DocumentKind> kinds_;  // of numbered_, by order
  std::optional<r::DocumentStamp> previous_;  // the last document with a valid stamp
};

}  // namespace

std::span<const RuleInfo> Rules() { return kRules; }

const RuleInfo& InfoOf(Rule rule) {
  for (const RuleInfo& info : kRules) {
    if (info.rule == rule) return info;
  }
  return kRules[0];
}

std::size_t TapeCheck::CountOf(Rule rule) const {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(), [rule](const Finding& f) { return f.rule == rule; }));
}

std::uint8_t TapeTypeOf(const r::DecodedRecord& record) {
  return std::visit(
      [](const auto& value) -> std::uint8_t {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, r::ReceiptOpened>) {
          return 0;
        } else if constexpr (std::is_same_v<T, r::ReceiptClosed>) {
          return 1;
        } else if constexpr (std::is_same_v<T, r::TotalPrinted>) {
          return 2;
        } else if constexpr (std::is_same_v<T, r::PaymentMade>) {
          return value.final ? 4 : 3;
        } else if constexpr (std::is_same_v<T, r::ItemSold>) {
          return 5;
        } else if constexpr (std::is_same_v<T, r::AdjustmentMade>) {
          return value.type;
        } else if constexpr (std::is_same_v<T, r::DepartmentSelected>) {
          return 12;
        } else if constexpr (std::is_same_v<T, r::ItemVoided>) {
          return 14;
        } else if constexpr (std::is_same_v<T, r::ReceiptVoided>) {
          return 15;
        } else if constexpr (std::is_same_v<T, r::CashMoved>) {
          return 16;
        } else if constexpr (std::is_same_v<T, r::CommentPrinted>) {
          return 17;
        } else if constexpr (std::is_same_v<T, r::BarcodePrinted>) {
          return 18;
        } else if constexpr (std::is_same_v<T, r::FreeDocumentOpened>) {
          return 19;
        } else {
          static_assert(std::is_same_v<T, r::FreeDocumentClosed>, "a decoded record without its tape type");
          return 20;
        }
      },
      record);
}

TapeCheck CheckTape(const tapedata::TapeModel& model) {
  TapeCheck check;
  if (model.header) check.serial_number = model.header->serial_number;
  Checker checker(check);
  for (const tapedata::TapeEntry& entry : model.entries) {
    if (const auto* d = std::get_if<Document>(&entry)) {
      checker.CheckDocument(*d);
    } else {
      checker.CheckLoose(std::get<tapedata::LooseRecord>(entry).record);
    }
  }
  checker.CheckNumbers();
  if (model.walk_end) checker.CheckWalkEnd(*model.walk_end);
  // Tape order; at one position, in the order the rules are listed.
  std::stable_sort(check.findings.begin(), check.findings.end(), [](const Finding& a, const Finding& b) {
    return a.position != b.position ? a.position < b.position : a.rule < b.rule;
  });
  return check;
}

}  // namespace fjl::tapecheck
