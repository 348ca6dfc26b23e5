#pragma once
// A printer for restoration tests: answers each read command from a script
// keyed by command code and keeps every request it was sent.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "link/read_commands.h"
#include "text/cp1251.h"

namespace fjl::restore::testing {

struct SentRequest {
  std::int32_t command;
  std::string data;
};

// A successful reply carrying `fields` (UTF-8, sent as Windows-1251).
inline link::DeviceResponse OkReply(const std::vector<std::string>& fields) {
  link::DeviceResponse reply;
  reply.ErrorCode = "0000";
  reply.FieldCount = static_cast<std::int32_t>(fields.size());
  for (std::size_t i = 0; i < fields.size() && i < reply.Fields.size(); ++i) {
    reply.Fields[i] = text::Utf8ToCp1251(fields[i]);
  }
  return reply;
}

inline link::DeviceResponse ErrorReply(std::string code) {
  link::DeviceResponse reply;
  reply.ErrorCode = std::move(code);
  return reply;
}

inline link::DeviceResponse NoReply() {
  link::DeviceResponse reply;
  reply.Status = link::StatusNoReply;
  return reply;
}

// The number a read command carries after the password: "482913;12;" gives 12.
inline int NumberOf(std::string_view data) {
  const std::size_t first = data.find(';');
  if (first == std::string_view::npos || first + 1 >= data.size()) return -1;
  return std::stoi(std::string(data.substr(first + 1)));
}

class FakePrinter final : public link::Exchanger {
 public:
  using Answer = std::function<link::DeviceResponse(int number)>;

  // A printer that knows every name it is asked for.
  FakePrinter() {
    On(link::kCmdGetSerialNumber, [](int) { return OkReply({"12345678"}); });
    On(link::kCmdGetFiscalNumber, [](int) { return OkReply({"1234567890"}); });
    On(link::kCmdGetTaxIdNumber, [](int) { return OkReply({"123456789012", "9876543210"}); });
    On(link::kCmdGetTaxRate, [](int group) { return OkReply({"1", "20.00", "НДС" + std::to_string(group), "-1"}); });
    On(link::kCmdGetOperatorParams, [](int n) { return OkReply({std::to_string(n), "Кассир " + std::to_string(n)}); });
    On(link::kCmdGetPaymentParams, [](int n) { return OkReply({std::to_string(n), "Форма " + std::to_string(n)}); });
    On(link::kCmdGetDepartmentParams, [](int n) { return OkReply({"Отдел " + std::to_string(n)}); });
  }

  void On(std::int32_t command, Answer answer) { answers_[command] = std::move(answer); }

  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override {
    sent.push_back({command, std::string(data)});
    const auto found = answers_.find(command);
    reply_ = found == answers_.end() ? ErrorReply("0002") : found->second(NumberOf(data));
    reply_.Command = command;
    reply_.SentData = std::string(data);
    return reply_;
  }

  int CountOf(std::int32_t command) const {
    int count = 0;
    for (const SentRequest& request : sent) count += request.command == command ? 1 : 0;
    return count;
  }

  std::vector<SentRequest> sent;

 private:
  std::map<std::int32_t, Answer> answers_;
  link::DeviceResponse reply_;
};

}  // namespace fjl::restore::testing
