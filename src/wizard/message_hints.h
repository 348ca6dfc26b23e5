#pragma once
// A second line under the messages that leave a user guessing: why a port
// would not open, what the printer's error code means, what to check when
// the printer never answered. The first line is always the message itself.

#include <string>
#include <string_view>

#include "link/device_link.h"
#include "link/device_response.h"
#include "platform/system_result.h"
#include "user/message_sink.h"

namespace fjl::wizard {

// When the first exchange after connecting meets silence, the printer is
// rarely the cause.
inline constexpr std::string_view kHintNoReply =
    "Проверьте кабель и скорость порта; fjl-restore-cli --find сам найдёт порт и скорость регистратора.";

// "Невозможно подключить порт" and, under it, the reason the system gave.
std::string CannotConnectMessage(const platform::SystemResult& why);

// Passes a download's messages on, with the printer's own words under a
// refused read and the hint under a first exchange that got no reply.
class HintedMessages final : public MessageSink {
 public:
  HintedMessages(MessageSink& inner, const link::DeviceLink& link, const link::DeviceResponse& last_reply)
      : inner_(inner), link_(link), last_reply_(last_reply) {}

  void ShowMessage(std::string_view text) override { inner_.ShowMessage(WithHint(text)); }
  void ShowError(std::string_view text) override { inner_.ShowError(WithHint(text)); }

 private:
  std::string WithHint(std::string_view text) const;

  MessageSink& inner_;
  const link::DeviceLink& link_;
  const link::DeviceResponse& last_reply_;
};

}  // namespace fjl::wizard
