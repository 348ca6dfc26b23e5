#include "dump/dump_state.h"

#include <gtest/gtest.h>

#include <string>

#include "dump/crc32c.h"

namespace fjl::dump {
namespace {

TEST(DumpState, WrittenAsKeysWithTheNextAddressesAndDigests) {
  DumpState state;
  state.id = "0123456789ABCDEF";
  state.serial = "07104512";
  state.speed = 115200;
  state.area = DumpArea::Aux;
  state.tape = {1721, 21, true, 0xE3069283};
  state.aux = {300, 100, false, 0x0000000A};
  // Next addresses: 268458935 + 1721 and 388693 + 300.
  EXPECT_EQ(FormatDumpState(state),
            "fjl-restore dump 2\n"
            "id=0123456789ABCDEF\n"
            "serial=07104512\n"
            "speed=115200\n"
            "area=aux\n"
            "tape.stored=1721\n"
            "tape.next=268460656\n"
            "tape.last_chunk=21\n"
            "tape.complete=1\n"
            "tape.crc32c=E3069283\n"
            "aux.stored=300\n"
            "aux.next=388993\n"
            "aux.last_chunk=100\n"
            "aux.complete=0\n"
            "aux.crc32c=0000000A\n");
  const platform::Result<DumpState> parsed = ParseDumpState(FormatDumpState(state));
  ASSERT_TRUE(parsed) << parsed.Failure().UserText();
  EXPECT_EQ(*parsed, state);
}

TEST(DumpState, BrokenFilesAreRefusedWithAReason) {
  const std::string good =
      FormatDumpState({"00000000000000AA", "1", 9600, DumpArea::Tape, {200, 100, false, 7}, {}});
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"", "empty"},
      {"something else\n", "not a dump state file"},
      {replaced("dump 2", "dump 1"), "kept no digests"},
      {replaced("id=00000000000000AA", "id="), "no dump id"},
      {replaced("id=00000000000000AA", "id=00000000000000aa"), "no dump id"},
      {replaced("speed=9600", "speed=fast"), "speed"},
      {replaced("speed=9600", "speed=0"), "speed=0 is not a line speed"},
      {replaced("speed=9600", "speed=12345"), "speed=12345 is not a line speed"},
      {replaced("tape.stored=200", "tape.stored=-5"), "tape.stored"},
      {replaced("tape.stored=200", "x=1"), "tape.stored"},
      {replaced("area=tape", "area=both"), "unknown area"},
      {replaced("tape.last_chunk=100", "tape.last_chunk=300"), "do not fit"},
      {replaced("tape.stored=200", "tape.stored=99999999"), "do not fit"},
      {replaced("tape.crc32c=00000007", "tape.crc32c=7"), "no digest of the tape image"},
      {replaced("aux.crc32c=00000000\n", ""), "no digest of the aux image"},
  };
  for (const auto& [text, why] : cases) {
    const platform::Result<DumpState> parsed = ParseDumpState(text);
    EXPECT_FALSE(parsed) << text;
    const std::string error = parsed.Failure().UserText();
    EXPECT_NE(error.find(why), std::string::npos) << error;
  }
}

TEST(DumpState, EachNewDumpGetsItsOwnId) {
  const std::string a = NewDumpId();
  EXPECT_EQ(a.size(), 16u);
  EXPECT_EQ(a.find_first_not_of("0123456789ABCDEF"), std::string::npos) << a;
  EXPECT_NE(NewDumpId(), a);
}

// The check value of the Castagnoli CRC; appending in pieces gives the same.
TEST(Crc32c, KnownValueWholeOrInPieces) {
  const std::string text = "123456789";
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_EQ(Crc32cOf(bytes), 0xE3069283u);
  Crc32c pieces;
  pieces.Add(bytes.first(4));
  pieces.Add(bytes.subspan(4));
  EXPECT_EQ(pieces.Value(), 0xE3069283u);
  EXPECT_EQ(Crc32cOf({}), 0u);
  EXPECT_EQ(ParseDigest("E3069283"), 0xE3069283u);
  EXPECT_EQ(ParseDigest("e3069283"), std::nullopt);
}

}  // namespace
}  // namespace fjl::dump
