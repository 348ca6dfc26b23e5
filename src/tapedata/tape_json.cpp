#include "tapedata/tape_json.h"

#include <cstdio>
#include <type_traits>

#include "platform/local_time.h"

#include "tapedata/json_writer.h"
#include "tapedata/stamp_text.h"

namespace fjl::tapedata {

namespace r = restore;

std::optional<std::int64_t> ItemAmount(const r::ItemSold& item) {
  const std::int64_t product = std::int64_t{item.quantity} * item.price;
  if (product % 1000 != 0) return std::nullopt;
  return product / 1000;
}

namespace {

// The window the JSON is written through: small enough to stay in the
// cache, large enough that handing a part on costs nothing worth counting.
constexpr std::size_t kJsonWindow = 64 * 1024;

const char* WalkEndName(r::WalkEndKind kind) {
  switch (kind) {
    case r::WalkEndKind::EndMarker:
      return "end_marker";
    case r::WalkEndKind::LengthBound:
      return "length_bound";
    case r::WalkEndKind::UnknownType:
      return "unknown_type";
    case r::WalkEndKind::PastImage:
      return "past_image";
    case r::WalkEndKind::Stopped:
      return "stopped";
    case r::WalkEndKind::Cancelled:
      return "cancelled";
  }
  return "";
}

const char* BaseName(r::AdjustmentBase base) {
  switch (base) {
    case r::AdjustmentBase::Item:
      return "item";
    case r::AdjustmentBase::Subtotal:
      return "subtotal";
    case r::AdjustmentBase::Tax:
      return "tax";
  }
  return "";
}

class TapeJsonWriter {
 public:
  explicit TapeJsonWriter(JsonWriter& json) : json_(json) {}

  void Record(const r::ItemSold& item) {
    Head("item_sale", item.position);
    json_.Key("aux_reference").Integer(item.aux_reference);
    json_.Key("article_found").Bool(item.article_found);
    json_.Key("article").Unsigned(item.article);
    json_.Key("name").String(item.name);
    json_.Key("department").Integer(item.department);
    json_.Key("tax_letter").String(item.tax_letter);
    json_.Key("quantity").Integer(item.quantity);
    json_.Key("price").Integer(item.price);
    json_.Key("amount").Optional(ItemAmount(item));
    json_.EndObject();
  }
  void Record(const r::AdjustmentMade& adjustment) {
    Head("adjustment", adjustment.position);
    json_.Key("adjustment_type").Integer(adjustment.type);
    json_.Key("base").PlainString(BaseName(adjustment.base));
    json_.Key("percent").Bool(adjustment.percent);
    json_.Key("surcharge").Bool(adjustment.value > 0);
    json_.Key("value").Integer(adjustment.value);
    json_.Key("money_amount").Optional(adjustment.money_amount);
    json_.Key("taxable_amount").Optional(adjustment.taxable_amount);
    json_.Key("tax_letter").Optional(adjustment.tax_letter);
    json_.EndObject();
  }
  void Record(const r::ItemVoided& item_void) {
    Head("item_void", item_void.position);
    json_.Key("start_position").Integer(item_void.start_reference);
    json_.Key("end_position").Integer(item_void.end_reference);
    json_.Key("cancelled_positions").BeginArray();
    for (const std::int64_t position : item_void.cancelled_positions) json_.Integer(position);
    json_.EndArray();
    json_.Key("cancelled_lines").BeginArray();
    for (const std::string& line : item_void.cancelled_lines) json_.String(line);
    json_.EndArray();
    json_.EndObject();
  }
  void Record(const r::PaymentMade& payment) {
    Head("payment", payment.position);
    json_.Key("final").Bool(payment.final);
    json_.Key("form").Integer(payment.form);
    json_.Key("form_name").String(payment.form_name);
    json_.Key("amount").Integer(payment.amount);
    json_.Key("change").Optional(payment.change);
    json_.EndObject();
  }
  void Record(const r::DepartmentSelected& department) {
    Head("department_select", department.position);
    json_.Key("department").Integer(department.department);
    json_.Key("name").String(department.name);
    json_.EndObject();
  }
  void Record(const r::TotalPrinted& total) {
    Head("total_print", total.position);
    json_.EndObject();
  }
  void Record(const r::CommentPrinted& comment) {
    Head("comment", comment.position);
    json_.Key("aux_reference").Integer(comment.aux_reference);
    json_.Key("found").Bool(comment.found);
    json_.Key("text").String(comment.text);
    json_.EndObject();
  }
  void Record(const r::BarcodePrinted& barcode) {
    Head("barcode_print", barcode.position);
    json_.EndObject();
  }
  // Opening and closing records are never loose: each makes or ends a
  // document, which carries their fields.
  template <typename T>
  void Record(const T&) {}

  template <std::size_t N, typename T>
  void Records(const char (&key)[N], const std::vector<T>& records) {
    json_.Key(key).BeginArray();
    for (const T& record : records) Record(record);
    json_.EndArray();
  }

  void Operator(std::int32_t number, const std::string& name) {
    json_.Key("operator").BeginObject(Layout::OneLine);
    json_.Key("number").Integer(number);
    json_.Key("name").String(name);
    json_.EndObject();
  }

  void Stamp(const std::optional<r::DocumentStamp>& stamp) {
    if (stamp) {
      json_.Key("document_number").Integer(stamp->number);
      char text[kStampTextSize];
      WriteStampText(text, stamp->when);
      json_.Key("date_time").PlainString({text, sizeof text});
      if (StampIsValid(stamp->when)) {
        char iso[kStampIsoSize];
        WriteStampIso(iso, stamp->when);
        json_.Key("date_time_iso").PlainString({iso, sizeof iso});
      } else {
        json_.Key("date_time_iso").Null();
      }
    } else {
      json_.Key("document_number").Null();
      json_.Key("date_time").Null();
      json_.Key("date_time_iso").Null();
    }
  }

  void WriteDocument(const Document& d) {
    json_.BeginObject();
    json_.Key("entry").PlainString("document");
    json_.Key("kind").PlainString(KindName(d.kind));
    json_.Key("position").Integer(d.position);
    json_.Key("last_position").Integer(d.last_position);
    json_.Key("opened").Bool(d.opened.has_value() || d.free_document_opened || d.cash.has_value());
    json_.Key("closed").Bool(d.Closed());
    Stamp(d.stamp);
    json_.Key("receipt_number").Optional(d.receipt_number);
    if (d.opened) {
      json_.Key("receipt_type").PlainString(d.opened->kind == 0 ? "sale" : "return");
      json_.Key("pos_number").Integer(d.opened->pos_number);
      Operator(d.opened->operator_number, d.opened->operator_name);
    } else if (d.cash) {
      json_.Key("receipt_type").Null();
      json_.Key("pos_number").Null();
      Operator(d.cash->operator_number, d.cash->operator_name);
    } else {
      json_.Key("receipt_type").Null();
      json_.Key("pos_number").Null();
      json_.Key("operator").Null();
    }
    if (d.cash) {
      json_.Key("cash").BeginObject(Layout::OneLine);
      json_.Key("amount").Integer(d.cash->amount);
      json_.Key("cash_in_register").Integer(d.cash->cash_in_register);
      json_.EndObject();
    } else {
      json_.Key("cash").Null();
    }
    Records("items", d.items);
    Records("adjustments", d.adjustments);
    Records("item_voids", d.item_voids);
    Records("payments", d.payments);
    json_.Key("change").Integer(d.Change());
    Records("departments", d.departments);
    Records("totals", d.totals);
    Records("comments", d.comments);
    Records("barcodes", d.barcodes);
    json_.EndObject();
  }

  void WriteLoose(const LooseRecord& loose) {
    json_.BeginObject();
    json_.Key("entry").PlainString("loose_record");
    json_.Key("record");
    std::visit([this](const auto& record) { Record(record); }, loose.record);
    json_.EndObject();
  }

 private:
  // Each record on one line of its own.
  void Head(const char* type, std::int64_t position) {
    json_.BeginObject(Layout::OneLine);
    json_.Key("type").PlainString(type);
    json_.Key("position").Integer(position);
  }

  JsonWriter& json_;
};

void WriteHeader(JsonWriter& json, const TapeModel& model, const ExportInfo& info) {
  json.Key("format").String("fjl-tape");
  json.Key("format_version").Integer(kTapeJsonFormatVersion);
  json.Key("program").BeginObject(Layout::OneLine);
  json.Key("name").String("fjl-restore");
  json.Key("version").String(info.program_version);
  json.EndObject();
  json.Key("read_time").String(info.read_time);
  json.Key("units").BeginObject(Layout::OneLine);
  json.Key("money").String("hundredths");
  json.Key("quantity").String("thousandths");
  json.Key("percent").String("hundredths of a percent");
  json.EndObject();

  const r::TapeHeaderInfo header = model.header.value_or(r::TapeHeaderInfo{});
  json.Key("printer").BeginObject(Layout::OneLine);
  json.Key("serial_number").String(header.serial_number);
  json.Key("fiscal_number").String(header.fiscal_number);
  json.Key("id_number").String(header.id_number);
  json.Key("tax_number").String(header.tax_number);
  json.EndObject();
  json.Key("tax_groups").BeginArray();
  for (const r::TaxGroupInfo& group : header.tax_groups) {
    json.BeginObject(Layout::OneLine);
    json.Key("letter").String(group.letter);
    json.Key("read").Bool(group.read);
    if (group.read) {
      json.Key("type_code").Integer(group.type_code);
      json.Key("type_name").String(group.type_name);
      json.Key("rate").String(group.rate);
      json.Key("name").String(group.name);
      json.Key("linked_group").Optional(group.linked_group);
    }
    json.EndObject();
  }
  json.EndArray();

  json.Key("tape").BeginObject(Layout::OneLine);
  const r::TapeWalkEnd end = model.walk_end.value_or(r::TapeWalkEnd{r::WalkEndKind::Stopped, 0, 0});
  json.Key("end").String(WalkEndName(end.kind));
  json.Key("end_position").Integer(end.position);
  json.Key("image_capacity").Integer(model.image_capacity);
  json.EndObject();
}

}  // namespace

std::string LocalReadTime() {
  const platform::CalendarTime t = platform::LocalCalendarTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

void WriteTapeJson(const TapeModel& model, const ExportInfo& info, const OutBuffer::Drain& out) {
  JsonWriter json(kJsonWindow, out);
  json.BeginObject();
  WriteHeader(json, model, info);
  TapeJsonWriter writer(json);
  json.Key("documents").BeginArray();
  for (const TapeEntry& entry : model.entries) {
    if (const auto* document = std::get_if<Document>(&entry)) {
      writer.WriteDocument(*document);
    } else {
      writer.WriteLoose(std::get<LooseRecord>(entry));
    }
  }
  json.EndArray();
  json.EndObject();
  json.Flush();
}

std::string TapeJson(const TapeModel& model, const ExportInfo& info) {
  std::string text;
  WriteTapeJson(model, info, [&text](std::string_view part) { text.append(part); });
  return text;
}

}  // namespace fjl::tapedata
