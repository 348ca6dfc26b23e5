#include "dump/answer_log.h"

#include <gtest/gtest.h>

namespace fjl::dump {
namespace {

TEST(AnswerLog, ALineShowsTextAsLettersAndControlBytesAsEscapes) {
  // Serial number read: data "482913;", a reply with error 0000, the field
  // 07104512 and the six status bytes 0x80 (the letter Ђ in Windows-1251).
  const RecordedAnswer answer{0x42, 0x00000000, "482913;",
                              "\x01\x3C\x21\x42" "0000;07104512;\x04\x80\x80\x80\x80\x80\x80\x05" "0;52\x03"};
  EXPECT_EQ(FormatAnswer(answer),
            "42 00000000 \"482913;\" "
            "\"\\x01<!B0000;07104512;\\x04ЂЂЂЂЂЂ\\x050;52\\x03\"");
}

TEST(AnswerLog, EveryByteComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const RecordedAnswer cases[] = {
      {0x48, 0x04000000, "", ""},
      {0x30, 0x44000000, "482913;2;", "\"quoted\" \\ back\\slash"},
      {0xF1, 0x00000000, "Пароль", all},
      {0x2E, 0x02000000, all, "\xCA\xE0\xF1\xF1\xE0 \x98"},  // Windows-1251 "Касса" and 0x98
  };
  std::string text(kAnswersHeader);
  text += "\n";
  for (const RecordedAnswer& c : cases) text += FormatAnswer(c) + "\r\n";
  const auto parsed = ParseAnswers(text);
  ASSERT_TRUE(parsed) << parsed.Failure().UserText();
  ASSERT_EQ(parsed->size(), std::size(cases));
  for (std::size_t i = 0; i < parsed->size(); ++i) EXPECT_EQ((*parsed)[i], cases[i]) << i;
}

TEST(AnswerLog, LinesOfAnythingElseAreRefusedByNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"42 0 \"a\"", "line 1"},                     // no raw reply
      {"# note\n42 0 \"a\" \"b\" extra", "line 2"},  // trailing text
      {"\n\nxx 0 \"a\" \"b\"", "line 3"},           // command not hexadecimal
      {"42 0 \"a\\q\" \"b\"", "line 1"},            // unknown escape
      {"42 0 \"a\\x4g\" \"b\"", "line 1"},          // bad escape digits
      {"42 0 \"a\" \"b", "line 1"},                 // no closing quote
      {"1FF 0 \"a\" \"b\"", "line 1"},              // command past one byte
  };
  for (const auto& [text, where] : cases) {
    const auto parsed = ParseAnswers(text);
    EXPECT_FALSE(parsed) << text;
    const std::string error = parsed.Failure().UserText();
    EXPECT_NE(error.find(where), std::string::npos) << text << ": " << error;
  }
}

}  // namespace
}  // namespace fjl::dump
