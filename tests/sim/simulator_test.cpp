#include "sim/lib/simulator.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <string>

#include "sim/lib/journal_builder.h"

namespace fjl::sim {
namespace {

using std::chrono::milliseconds;

PrinterModel TinyPrinter() {
  PrinterModel model;
  model.password = "1";
  model.identity.serial_number = "S1";
  model.identity.id_number = "ID";
  model.identity.tax_number = "TX";
  model.flash.push_back({kTapeFlashBase, kTapeFlashEnd, Bytes{0xAB, 0xCD}});
  return model;
}

// The serial number reply to SEQ 0x21, worked by hand: LEN 0x30 + 3,
// sum 0x559.
const Bytes kSerialReply{0x01, 0x33, 0x21, 0x42, '0',  '0',  '0',  '0',  ';',  'S',  '1', ';', 0x04,
                         0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x35, 0x35, 0x39, 0x03};

struct Decoded {
  std::string code;
  std::string data;
};

// Error code and data of a well-formed reply frame.
Decoded Decode(const Bytes& frame) {
  const auto semi = std::find(frame.begin() + 4, frame.end(), ';');
  Decoded d;
  d.code.assign(frame.begin() + 4, semi);
  d.data.assign(semi + 1, frame.end() - 13);
  return d;
}

class SimulatorTest : public ::testing::Test {
 protected:
  Answer Ask(std::uint8_t command, const std::string& data, std::uint8_t seq = 0x21) {
    std::vector<Answer> answers = sim.Receive(BuildRequestFrame(seq, command, data));
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? Answer{} : answers.front();
  }
  Answer AskSerial() { return Ask(0x42, "1;"); }
  void Fault(const char* rule_text) { sim.AddFault(ParseFaultRule(rule_text)); }
  // The single emission of an answer.
  static Bytes Only(const Answer& a) {
    EXPECT_EQ(a.emissions.size(), 1u);
    return a.emissions.empty() ? Bytes{} : a.emissions[0].bytes;
  }

  Simulator sim{TinyPrinter()};
};

TEST_F(SimulatorTest, AnswersWithTheHandWorkedFrame) {
  const Answer a = AskSerial();
  EXPECT_EQ(a.request_length, 12u);
  EXPECT_EQ(Only(a), kSerialReply);
  EXPECT_EQ(a.emissions[0].pause, milliseconds(0));
  EXPECT_FALSE(a.emissions[0].hangup);
}

TEST_F(SimulatorTest, EchoesTheRequestSequenceByte) {
  EXPECT_EQ(Only(Ask(0x42, "1;", 0x7E))[2], 0x7E);
}

TEST_F(SimulatorTest, FlashReadReply) {
  sim.SetChunkSize(4);
  const Bytes frame = Only(Ask(0xF1, "1;268458935;"));
  EXPECT_EQ(frame[3], 0xF1);
  EXPECT_EQ(Decode(frame).code, "0000");
  EXPECT_EQ(Decode(frame).data, "4;ABCDFFFF;");
  EXPECT_EQ(frame[1], 0x30 + 11);
}

TEST_F(SimulatorTest, CorruptRequestGetsNak) {
  Bytes request = BuildRequestFrame(0x21, 0x42, "1;");
  request[request.size() - 2] ^= 0x01;
  const std::vector<Answer> answers = sim.Receive(request);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(Only(answers[0]), Bytes{kNak});
  EXPECT_EQ(sim.BadFrames(), 1u);
  EXPECT_TRUE(sim.Requests().empty());
}

TEST(Simulator, CorruptRequestIgnoredWhenAsked) {
  SimulatorOptions options;
  options.nak_bad_frames = false;
  Simulator sim(TinyPrinter(), options);
  Bytes request = BuildRequestFrame(0x21, 0x42, "1;");
  request[4] = '2';
  EXPECT_TRUE(sim.Receive(request).empty());
  EXPECT_EQ(sim.BadFrames(), 1u);
}

TEST_F(SimulatorTest, KeepsTheRequestsItSaw) {
  AskSerial();
  Ask(0xF1, "1;268458935;", 0x22);
  const std::vector<Request> seen = sim.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].command, 0xF1);
  EXPECT_EQ(seen[1].seq, 0x22);
  EXPECT_EQ(seen[1].data, "1;268458935;");
}

TEST_F(SimulatorTest, RequestSplitAcrossWritesIsAnsweredOnce) {
  const Bytes request = BuildRequestFrame(0x21, 0x42, "1;");
  EXPECT_TRUE(sim.Receive(std::span(request).first(5)).empty());
  const std::vector<Answer> answers = sim.Receive(std::span(request).subspan(5));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].emissions[0].bytes, kSerialReply);
}

TEST_F(SimulatorTest, Silence) {
  Fault("silence");
  EXPECT_TRUE(AskSerial().emissions.empty());
}

TEST_F(SimulatorTest, Nak) {
  Fault("nak");
  EXPECT_EQ(Only(AskSerial()), Bytes{kNak});
}

TEST_F(SimulatorTest, BadChecksumChangesOnlyTheLastDigit) {
  Fault("bad-checksum");
  Bytes expected = kSerialReply;
  expected[23] = 0x3A;  // '9' + 1
  EXPECT_EQ(Only(AskSerial()), expected);
}

TEST_F(SimulatorTest, SynBurstBeforeTheFrame) {
  Fault("syn-before");
  const Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 2u);
  EXPECT_EQ(a.emissions[0].bytes, (Bytes{kSyn, kSyn, kSyn}));
  EXPECT_EQ(a.emissions[1].bytes, kSerialReply);
}

TEST_F(SimulatorTest, SynKeepAliveIsSpacedOut) {
  Fault("syn-before:count=2,gap=50");
  const Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 3u);
  for (const Emission& e : a.emissions) EXPECT_EQ(e.pause, milliseconds(50));
  EXPECT_EQ(a.emissions[0].bytes, Bytes{kSyn});
  EXPECT_EQ(a.emissions[1].bytes, Bytes{kSyn});
  EXPECT_EQ(a.emissions[2].bytes, kSerialReply);
}

TEST_F(SimulatorTest, SynInsideTheFrame) {
  Fault("syn-inside:at=5,count=2");
  Bytes expected = kSerialReply;
  expected.insert(expected.begin() + 5, {kSyn, kSyn});
  EXPECT_EQ(Only(AskSerial()), expected);
}

TEST_F(SimulatorTest, ErrorCodeWithoutData) {
  Fault("error:code=0B0B,cmd=0x42");
  const Bytes frame = Only(AskSerial());
  EXPECT_EQ(frame[1], 0x30);
  EXPECT_EQ(Decode(frame).code, "0B0B");
  EXPECT_EQ(Decode(frame).data, "");
  // Other commands are unaffected.
  EXPECT_EQ(Decode(Only(Ask(0x46, "1;"))).code, "0000");
}

TEST_F(SimulatorTest, CutFrame) {
  Fault("cut:at=6,limit=1");
  EXPECT_EQ(Only(AskSerial()), Bytes(kSerialReply.begin(), kSerialReply.begin() + 6));
  sim.ClearFaults();
  Fault("cut:at=6,etx=1");
  Bytes expected(kSerialReply.begin(), kSerialReply.begin() + 6);
  expected.push_back(kEtx);
  EXPECT_EQ(Only(AskSerial()), expected);
}

TEST_F(SimulatorTest, MalformedFrameLosesItsSeparator) {
  Fault("malformed");
  Bytes expected = kSerialReply;
  expected[12] = '*';
  EXPECT_EQ(Only(AskSerial()), expected);
}

TEST_F(SimulatorTest, GarbageBeforeOrAfter) {
  Fault("garbage:count=40,limit=1");
  Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 2u);
  EXPECT_EQ(a.emissions[0].bytes.size(), 40u);
  for (std::uint8_t b : a.emissions[0].bytes) {
    EXPECT_TRUE(b != kSoh && b != kEtx && b != kNak && b != kSyn) << int(b);
  }
  EXPECT_EQ(a.emissions[1].bytes, kSerialReply);

  sim.ClearFaults();
  Fault("garbage:after=1");
  a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 2u);
  EXPECT_EQ(a.emissions[0].bytes, kSerialReply);
  EXPECT_EQ(a.emissions[1].bytes.size(), 8u);
}

struct DataCase {
  const char* name;
  const char* fault;
  std::uint8_t command;
  const char* request;
  const char* data;
};

void PrintTo(const DataCase& c, std::ostream* os) { *os << c.name; }

class SimulatorData : public SimulatorTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(SimulatorData, ReplyDataText) {
  sim.SetChunkSize(2);
  Fault(GetParam().fault);
  const Bytes frame = Only(Ask(GetParam().command, GetParam().request));
  EXPECT_EQ(Decode(frame).code, "0000");
  EXPECT_EQ(Decode(frame).data, GetParam().data);
  EXPECT_EQ(frame[1], 0x30 + std::string(GetParam().data).size());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatorData,
    ::testing::Values(
        DataCase{"NoFault", "delay:ms=0", 0xF1, "1;268458935;", "2;ABCD;"},
        DataCase{"EmptyData", "empty", 0x46, "1;", ""},
        DataCase{"OneField", "one-field", 0x46, "1;", "ID;"},
        DataCase{"ThirtyFields", "thirty-fields", 0x42, "1;",
                 "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24;25;26;27;28;29;30;"},
        DataCase{"LowerCaseHex", "lower-hex", 0xF1, "1;268458935;", "2;abcd;"},
        DataCase{"CountNotNumber", "count-nan", 0xF1, "1;268458935;", "abc;ABCD;"},
        DataCase{"CountNotNumberText", "count-nan:text= 2x", 0xF1, "1;268458935;", " 2x;ABCD;"},
        DataCase{"CountOverHex", "count-over", 0xF1, "1;268458935;", "2;AB;"},
        DataCase{"CountOverHexAll", "count-over:count=2", 0xF1, "1;268458935;", "2;;"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SimulatorTest, DelayPausesTheReply) {
  Fault("delay:ms=300");
  const Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 1u);
  EXPECT_EQ(a.emissions[0].pause, milliseconds(300));
  EXPECT_EQ(a.emissions[0].bytes, kSerialReply);
}

TEST_F(SimulatorTest, HangUpInsteadOfOrAfterTheReply) {
  Fault("hangup:limit=1");
  Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 1u);
  EXPECT_TRUE(a.emissions[0].bytes.empty());
  EXPECT_TRUE(a.emissions[0].hangup);

  sim.ClearFaults();
  Fault("hangup:after=1");
  a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 2u);
  EXPECT_EQ(a.emissions[0].bytes, kSerialReply);
  EXPECT_TRUE(a.emissions[1].hangup);
}

TEST_F(SimulatorTest, EveryNthReply) {
  Fault("nak:every=2");
  std::vector<bool> nak;
  for (int i = 0; i < 4; ++i) nak.push_back(Only(AskSerial()) == Bytes{kNak});
  EXPECT_EQ(nak, (std::vector<bool>{false, true, false, true}));
}

TEST_F(SimulatorTest, FaultsCombine) {
  Fault("syn-before:count=1");
  Fault("bad-checksum");
  const Answer a = AskSerial();
  ASSERT_EQ(a.emissions.size(), 2u);
  EXPECT_EQ(a.emissions[0].bytes, Bytes{kSyn});
  EXPECT_EQ(a.emissions[1].bytes[23], 0x3A);
}

TEST_F(SimulatorTest, WrongPasswordIsAnErrorCode) {
  const Bytes frame = Only(Ask(0x42, "2;"));
  EXPECT_EQ(Decode(frame).code, "0106");
  EXPECT_EQ(frame[1], 0x30);
}

}  // namespace
}  // namespace fjl::sim

namespace fjl::sim {
namespace {

// A printer replayed from recorded answers: each recorded answer once, in
// order, then the last one again; other requests get the model's answer.
TEST(ScriptedAnswers, TakeThePlaceOfTheModelsOwn) {
  SimulatorOptions options;
  ScriptedAnswer first;
  first.command = 0x42;
  first.data = "1;";
  first.reply_data = "OLD1;";
  ScriptedAnswer second = first;
  second.reply_data = "OLD2;";
  second.error_code = "0106";
  ScriptedAnswer silent;
  silent.command = 0x44;
  silent.data = "1;";
  silent.kind = ScriptedAnswer::Kind::Silence;
  ScriptedAnswer nak = silent;
  nak.command = 0x46;
  nak.kind = ScriptedAnswer::Kind::Nak;
  options.scripted = {first, second, silent, nak};
  Simulator sim(TinyPrinter(), options);
  const auto ask = [&](std::uint8_t command, std::uint8_t seq) {
    std::vector<Answer> answers = sim.Receive(BuildRequestFrame(seq, command, "1;"));
    return answers.size() == 1 ? answers[0] : Answer{};
  };

  const Bytes one = ask(0x42, 0x21).emissions.at(0).bytes;
  EXPECT_EQ(one[2], 0x21);  // the request's own SEQ
  EXPECT_EQ(Decode(one).code, "0000");
  EXPECT_EQ(Decode(one).data, "OLD1;");
  const Bytes two = ask(0x42, 0x22).emissions.at(0).bytes;
  EXPECT_EQ(Decode(two).code, "0106");
  EXPECT_EQ(Decode(two).data, "OLD2;");
  EXPECT_EQ(Decode(ask(0x42, 0x23).emissions.at(0).bytes).data, "OLD2;");
  EXPECT_TRUE(ask(0x44, 0x24).emissions.empty());
  EXPECT_EQ(ask(0x46, 0x25).emissions.at(0).bytes, Bytes{kNak});
  // Another data text was not recorded: the model answers it.
  const std::vector<Answer> model = sim.Receive(BuildRequestFrame(0x26, 0x42, "9;"));
  ASSERT_EQ(model.size(), 1u);
  EXPECT_NE(Decode(model[0].emissions.at(0).bytes).data, "OLD2;");
}

}  // namespace
}  // namespace fjl::sim
