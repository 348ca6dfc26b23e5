#include "dump/dump_state.h"

#include <gtest/gtest.h>

namespace fjl::dump {
namespace {

TEST(DumpState, WrittenAsKeysWithTheNextAddresses) {
  DumpState state;
  state.serial = "07104512";
  state.speed = 115200;
  state.area = DumpArea::Aux;
  state.tape = {1721, 21, true};
  state.aux = {300, 100, false};
  // Next addresses: 268458935 + 1721 and 388693 + 300.
  EXPECT_EQ(FormatDumpState(state),
            "fjl-restore dump 1\n"
            "serial=07104512\n"
            "speed=115200\n"
            "area=aux\n"
            "tape.stored=1721\n"
            "tape.next=268460656\n"
            "tape.last_chunk=21\n"
            "tape.complete=1\n"
            "aux.stored=300\n"
            "aux.next=388993\n"
            "aux.last_chunk=100\n"
            "aux.complete=0\n");
  std::string error;
  EXPECT_EQ(ParseDumpState(FormatDumpState(state), error), state) << error;
}

TEST(DumpState, BrokenFilesAreRefusedWithAReason) {
  const std::string good = FormatDumpState({"1", 9600, DumpArea::Tape, {200, 100, false}, {}});
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"", "empty"},
      {"something else\n", "not a dump state file"},
      {replaced("speed=9600", "speed=fast"), "speed"},
      {replaced("tape.stored=200", "tape.stored=-5"), "tape.stored"},
      {replaced("tape.stored=200", "x=1"), "tape.stored"},
      {replaced("area=tape", "area=both"), "unknown area"},
      {replaced("tape.last_chunk=100", "tape.last_chunk=300"), "do not fit"},
      {replaced("tape.stored=200", "tape.stored=99999999"), "do not fit"},
  };
  for (const auto& [text, why] : cases) {
    std::string error;
    EXPECT_FALSE(ParseDumpState(text, error)) << text;
    EXPECT_NE(error.find(why), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace fjl::dump
