#include "link/read_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/device_link.h"
#include "link/request_frame.h"
#include "link/fake_channel.h"  // tests/link

namespace fjl::link {
namespace {

class RecordingExchanger : public Exchanger {
 public:
  const DeviceResponse& Exchange(std::int32_t command, std::string_view data) override {
    commands.push_back(command);
    texts.emplace_back(data);
    return response;
  }
  std::vector<std::int32_t> commands;
  std::vector<std::string> texts;
  DeviceResponse response;
};

TEST(ReadCommands, DataTexts) {
  struct Case {
    std::function<const DeviceResponse&(Exchanger&)> call;
    std::int32_t command;
    std::string text;
  };
  const Case cases[] = {
      {[](Exchanger& x) -> const DeviceResponse& { return GetTaxRate(x, "482913", 2); }, 0x48, "482913;2;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetSerialNumber(x, ""); }, 0x42, ";"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetOperatorParams(x, "482913", 12); }, 0x30, "482913;12;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetPaymentParams(x, "1", 0); }, 0x2E, "1;0;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetDepartmentParams(x, "482913", -7); }, 0x33,
       "482913;-7;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetFiscalNumber(x, "482913"); }, 0x44, "482913;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetTaxIdNumber(x, "\xCF\xE0\xF0"); }, 0x46,
       "\xCF\xE0\xF0;"},
      {[](Exchanger& x) -> const DeviceResponse& { return GetTaxRate(x, "0", 2147483647); }, 0x48,
       "0;2147483647;"},
  };
  for (const Case& c : cases) {
    RecordingExchanger x;
    const DeviceResponse& r = c.call(x);
    EXPECT_EQ(&r, &x.response);
    ASSERT_EQ(x.commands.size(), 1u);
    EXPECT_EQ(x.commands[0], c.command);
    EXPECT_EQ(x.texts[0], c.text);
  }
}

TEST(ReadCommands, OverlongPasswordIsRefusedNotCut) {
  testing::FakeOpener opener;
  DeviceLink link(opener.Opener());
  ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
  // 216 + ";" + "2" + ";" = 219 bytes: one frame still carries it.
  GetTaxRate(link, std::string(216, '1'), 2);
  ASSERT_EQ(opener.line->writes.size(), 1u);
  EXPECT_EQ(static_cast<std::uint8_t>(opener.line->writes[0][1]), 0xFF);
  const DeviceResponse& r = GetTaxRate(link, std::string(217, '1'), 2);
  EXPECT_EQ(opener.line->writes.size(), 1u);
  EXPECT_EQ(r.Status, StatusNoReply | StatusNotSent);
  EXPECT_EQ(r.Command, 0x48);
  EXPECT_EQ(r.SentData.size(), 220u);
}

}  // namespace
}  // namespace fjl::link
