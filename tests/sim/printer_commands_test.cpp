#include "sim/lib/printer_commands.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "sim/lib/journal_builder.h"

namespace fjl::sim {
namespace {

using Fields = std::vector<std::string>;

// Tape image bytes 0x00, 0x01, ... 0x95 (150 bytes); aux image "AUX".
PrinterModel SmallPrinter() {
  PrinterModel model;
  model.password = "482913";
  Bytes tape(150);
  for (std::size_t i = 0; i < tape.size(); ++i) tape[i] = static_cast<std::uint8_t>(i);
  model.flash.push_back({kTapeFlashBase, kTapeFlashEnd, tape});
  model.flash.push_back({kAuxFlashBase, kAuxFlashEnd, Bytes{'A', 'U', 'X'}});
  PrinterIdentity& id = model.identity;
  id.serial_number = "SN1";
  id.fiscal_number = "FN2";
  id.id_number = "ID3";
  id.tax_number = "TX4";
  id.tax_rates[3] = {5, "5.00", "Sbor", 0};
  id.operators = {{2, "Oper Two"}};
  id.payment_forms = {{0, "Cash"}};
  id.departments = {{1, "Dept One"}};
  return model;
}

CommandAnswer Ask(std::uint8_t command, const std::string& data, std::size_t chunk = 100) {
  return AnswerCommand(SmallPrinter(), chunk, command, data);
}

std::string Flash(std::uint64_t address) { return "482913;" + std::to_string(address) + ";"; }

TEST(FlashRead, FirstChunkAtTheTapeAddress) {
  const CommandAnswer a = Ask(0xF1, "482913;268458935;");
  EXPECT_EQ(a.error_code, "0000");
  ASSERT_EQ(a.fields.size(), 2u);
  EXPECT_EQ(a.fields[0], "100");
  ASSERT_EQ(a.fields[1].size(), 200u);
  EXPECT_EQ(a.fields[1].substr(0, 8), "00010203");
  EXPECT_EQ(a.fields[1].substr(20, 4), "0A0B");  // upper case
  EXPECT_EQ(a.fields[1].substr(196), "6263");    // bytes 98 and 99
}

TEST(FlashRead, BytesPastTheImageReadAsErased) {
  const CommandAnswer a = Ask(0xF1, Flash(kTapeFlashBase + 100));
  ASSERT_EQ(a.fields.size(), 2u);
  EXPECT_EQ(a.fields[0], "100");
  EXPECT_EQ(a.fields[1].substr(0, 4), "6465");     // bytes 100, 101
  EXPECT_EQ(a.fields[1].substr(98, 4), "95FF");    // byte 149, then erased flash
  EXPECT_EQ(a.fields[1].substr(100), std::string(100, 'F'));
}

TEST(FlashRead, ChunkSizeAndAddressArithmetic) {
  // Chunk 64 from byte 10: bytes 10..73.
  const CommandAnswer a = Ask(0xF1, Flash(kTapeFlashBase + 10), 64);
  EXPECT_EQ(a.fields[0], "64");
  EXPECT_EQ(a.fields[1].substr(0, 2), "0A");
  EXPECT_EQ(a.fields[1].substr(126, 2), "49");  // byte 73
}

TEST(FlashRead, ChunkIsClampedToWhatOneReplyHolds) {
  EXPECT_EQ(Ask(0xF1, Flash(kTapeFlashBase), 500).fields[0], "100");
  EXPECT_EQ(Ask(0xF1, Flash(kTapeFlashBase), 0).fields[0], "1");
  // "100;" + 200 hex + ";" must fit the 207 bytes of a reply's data part.
  EXPECT_LE(JoinFields(Ask(0xF1, Flash(kTapeFlashBase)).fields).size(), kMaxReplyData);
}

TEST(FlashRead, ShortChunkAtTheEndOfTheWindow) {
  const CommandAnswer a = Ask(0xF1, Flash(kTapeFlashEnd - 10));
  EXPECT_EQ(a.fields[0], "10");
  EXPECT_EQ(a.fields[1], std::string(20, 'F'));
}

TEST(FlashRead, AuxiliaryArea) {
  const CommandAnswer a = Ask(0xF1, "482913;388693;");
  EXPECT_EQ(a.fields[0], "100");
  EXPECT_EQ(a.fields[1].substr(0, 8), "415558FF");
}

TEST(FlashRead, AddressesOutsideBothAreas) {
  EXPECT_EQ(Ask(0xF1, Flash(kTapeFlashEnd)).error_code, "0204");
  EXPECT_EQ(Ask(0xF1, Flash(kTapeFlashBase - 1)).error_code, "0204");
  EXPECT_EQ(Ask(0xF1, Flash(kAuxFlashBase - 1)).error_code, "0204");
  EXPECT_EQ(Ask(0xF1, Flash(kAuxFlashEnd)).error_code, "0204");
  EXPECT_TRUE(Ask(0xF1, Flash(kAuxFlashEnd)).fields.empty());
}

struct ErrorCase {
  const char* name;
  std::uint8_t command;
  const char* data;
  const char* code;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class CommandErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CommandErrors, AnswerWithCodeAndNoData) {
  const CommandAnswer a = Ask(GetParam().command, GetParam().data);
  EXPECT_EQ(a.error_code, GetParam().code);
  EXPECT_TRUE(a.fields.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Printer, CommandErrors,
    ::testing::Values(ErrorCase{"WrongPassword", 0x42, "482914;", "0106"},
                      ErrorCase{"EmptyPassword", 0xF1, ";268458935;", "0106"},
                      ErrorCase{"NoData", 0x42, "", "0202"},
                      ErrorCase{"FlashWithoutAddress", 0xF1, "482913;", "0202"},
                      ErrorCase{"AddressNotANumber", 0xF1, "482913;2684x8935;", "0203"},
                      ErrorCase{"NegativeNumber", 0x30, "482913;-1;", "0203"},
                      ErrorCase{"UnknownOperator", 0x30, "482913;1;", "0204"},
                      ErrorCase{"UnknownPaymentForm", 0x2E, "482913;1;", "0204"},
                      ErrorCase{"UnknownDepartment", 0x33, "482913;2;", "0204"},
                      ErrorCase{"TaxGroupFive", 0x48, "482913;5;", "0204"},
                      ErrorCase{"UnknownCommand", 0x21, "482913;", "0002"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Identity, NumbersAndNames) {
  EXPECT_EQ(Ask(0x42, "482913;").fields, (Fields{"SN1"}));
  EXPECT_EQ(Ask(0x44, "482913;").fields, (Fields{"FN2"}));
  EXPECT_EQ(Ask(0x46, "482913;").fields, (Fields{"ID3", "TX4"}));
  EXPECT_EQ(Ask(0x48, "482913;3;").fields, (Fields{"5", "5.00", "Sbor", "0"}));
  EXPECT_EQ(Ask(0x48, "482913;0;").fields, (Fields{"0", "", "", "-1"}));
  EXPECT_EQ(Ask(0x30, "482913;2;").fields, (Fields{"2", "Oper Two"}));
  EXPECT_EQ(Ask(0x2E, "482913;0;").fields, (Fields{"0", "Cash"}));
  EXPECT_EQ(Ask(0x33, "482913;1;").fields, (Fields{"Dept One"}));
  EXPECT_EQ(Ask(0x42, "482913;").error_code, "0000");
}

TEST(Parameters, Split) {
  EXPECT_EQ(SplitParameters("a;b;"), (Fields{"a", "b"}));
  EXPECT_EQ(SplitParameters("a;;b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(SplitParameters(";"), (Fields{""}));
  EXPECT_EQ(SplitParameters("abc"), (Fields{"abc"}));
  EXPECT_TRUE(SplitParameters("").empty());
}

TEST(Parameters, HexText) { EXPECT_EQ(HexText(Bytes{0x00, 0x9F, 0xAB, 0xFF}), "009FABFF"); }

}  // namespace
}  // namespace fjl::sim
