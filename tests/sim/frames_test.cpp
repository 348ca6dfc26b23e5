#include "sim/lib/frames.h"

#include <gtest/gtest.h>

#include <ostream>

#include <stdexcept>
#include <string>
#include <vector>

namespace fjl::sim {
namespace {

std::vector<ParseEvent> FeedAll(RequestParser& parser, const Bytes& bytes) {
  std::vector<ParseEvent> events;
  for (std::uint8_t b : bytes) {
    if (auto e = parser.Feed(b)) events.push_back(*e);
  }
  return events;
}

TEST(RequestFrame, WorkedExamples) {
  EXPECT_EQ(BuildRequestFrame(0x21, 0x21, ""),
            (Bytes{0x01, 0x24, 0x21, 0x21, 0x05, 0x30, 0x30, 0x36, 0x3B, 0x03}));
  EXPECT_EQ(BuildRequestFrame(0x22, 0x42, "1;"),
            (Bytes{0x01, 0x26, 0x22, 0x42, 0x31, 0x3B, 0x05, 0x30, 0x30, 0x3F, 0x3B, 0x03}));
}

TEST(RequestFrame, LenLimit) {
  const Bytes longest = BuildRequestFrame(0x21, 0xF1, std::string(219, 'x'));
  EXPECT_EQ(longest[1], 0xFF);
  EXPECT_EQ(longest.size(), 229u);
  EXPECT_THROW(BuildRequestFrame(0x21, 0xF1, std::string(220, 'x')), std::length_error);
}

TEST(Checksum, NibblesAboveNineAreNotLetters) {
  // 0xABCD: nibbles 10, 11, 12, 13.
  const auto chars = ChecksumChars(0x1ABCD);
  EXPECT_EQ(chars, (std::array<std::uint8_t, 4>{':', ';', '<', '='}));
  EXPECT_EQ(ChecksumChars(0xF00F), (std::array<std::uint8_t, 4>{'?', '0', '0', '?'}));
}

TEST(ReplyFrame, WorkedExample) {
  Reply reply;
  reply.seq = 0x22;
  reply.command = 0x42;
  reply.data = "AB12";
  EXPECT_EQ(BuildReplyFrame(reply),
            (Bytes{0x01, 0x34, 0x22, 0x42, 0x30, 0x30, 0x30, 0x30, 0x3B, 0x41, 0x42, 0x31, 0x32,
                   0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x35, 0x38, 0x32, 0x03}));
}

TEST(ReplyFrame, EmptyDataHasLen30) {
  Reply reply;
  reply.seq = 0x21;
  reply.command = 0x42;
  reply.error_code = "0106";
  const Bytes frame = BuildReplyFrame(reply);
  EXPECT_EQ(frame[1], 0x30);
  EXPECT_EQ(frame[9], kEot);  // straight from ';' to the separator
  EXPECT_EQ(frame.size(), 22u);
}

TEST(ReplyFrame, DataLimitIs207) {
  Reply reply;
  reply.data = std::string(207, 'A');
  EXPECT_EQ(BuildReplyFrame(reply)[1], 0xFF);
  reply.data.push_back('A');
  EXPECT_THROW(BuildReplyFrame(reply), std::length_error);
}

TEST(ReplyFrame, JoinFieldsEndsEachWithSemicolon) {
  const std::vector<std::string> fields{"100", "", "AB"};
  EXPECT_EQ(JoinFields(fields), "100;;AB;");
  EXPECT_EQ(JoinFields({}), "");
}

TEST(RequestParser, ParsesWorkedExamples) {
  RequestParser parser;
  Bytes stream = BuildRequestFrame(0x21, 0x21, "");
  const Bytes second{0x01, 0x26, 0x22, 0x42, 0x31, 0x3B, 0x05, 0x30, 0x30, 0x3F, 0x3B, 0x03};
  stream.insert(stream.end(), second.begin(), second.end());
  const auto events = FeedAll(parser, stream);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].fault, FrameFault::None);
  EXPECT_EQ(events[0].request.seq, 0x21);
  EXPECT_EQ(events[0].request.command, 0x21);
  EXPECT_EQ(events[0].request.data, "");
  EXPECT_EQ(events[0].frame_length, 10u);
  EXPECT_EQ(events[1].request.command, 0x42);
  EXPECT_EQ(events[1].request.data, "1;");
  EXPECT_EQ(events[1].frame_length, 12u);
  EXPECT_FALSE(parser.InFrame());
}

TEST(RequestParser, IgnoresNoiseAndRestartsOnSoh) {
  RequestParser parser;
  Bytes stream{0x16, 0x16, 'x', 0x03, 0x15, 0x01, 0x26, 0x22};  // noise, then a frame cut short
  const Bytes good = BuildRequestFrame(0x23, 0xF1, "482913;268458935;");
  stream.insert(stream.end(), good.begin(), good.end());
  const auto events = FeedAll(parser, stream);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fault, FrameFault::None);
  EXPECT_EQ(events[0].request.data, "482913;268458935;");
}

struct CorruptCase {
  const char* name;
  std::size_t index;  // byte of the "1;" example to change
  std::uint8_t value;
  FrameFault fault;
};

void PrintTo(const CorruptCase& c, std::ostream* os) { *os << c.name; }

class RequestParserCorrupt : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(RequestParserCorrupt, ReportsTheFault) {
  Bytes frame{0x01, 0x26, 0x22, 0x42, 0x31, 0x3B, 0x05, 0x30, 0x30, 0x3F, 0x3B, 0x03};
  frame[GetParam().index] = GetParam().value;
  RequestParser parser;
  const auto events = FeedAll(parser, frame);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fault, GetParam().fault);
  EXPECT_FALSE(parser.InFrame());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RequestParserCorrupt,
    ::testing::Values(CorruptCase{"ChecksumOffByOne", 10, 0x3A, FrameFault::BadChecksum},
                      CorruptCase{"DataByteChanged", 4, 0x32, FrameFault::BadChecksum},
                      CorruptCase{"LenTooSmall", 1, 0x23, FrameFault::BadLength},
                      CorruptCase{"NoPostamble", 6, 0x06, FrameFault::NoPostamble},
                      CorruptCase{"NoEtx", 11, 0x04, FrameFault::NoEtx},
                      CorruptCase{"EtxInsideChecksum", 9, 0x03, FrameFault::BadChecksum}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(RequestParser, FrameCutBeforeItsChecksumEndsAtOnce) {
  // ETX after three checksum characters: a real cut, not a fourth digit.
  RequestParser parser;
  const auto events = FeedAll(parser, Bytes{0x01, 0x24, 0x21, 0x21, 0x05, 0x30, 0x30, 0x36, 0x03});
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fault, FrameFault::BadChecksum);
  EXPECT_EQ(events[0].frame_length, 9u);
}

TEST(RequestParser, DataIsCountedByLenNotByControlBytes) {
  // A data byte equal to ENQ or ETX does not end the data early.
  RequestParser parser;
  const auto events = FeedAll(parser, BuildRequestFrame(0x21, 0x30, std::string("a\x05\x03;", 4)));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].fault, FrameFault::None);
  EXPECT_EQ(events[0].request.data, std::string("a\x05\x03;", 4));
}

}  // namespace
}  // namespace fjl::sim
