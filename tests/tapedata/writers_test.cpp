// The pieces every export writes with: the JSON writer's layout and
// escaping, numbers with a chosen decimal mark, the buffer growing past
// what was reserved.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tapedata/json_writer.h"
#include "tapedata/number_append.h"
#include "tapedata/out_buffer.h"

namespace fjl::tapedata {
namespace {

TEST(JsonWriter, ContainersOnLinesAndRecordsOnOneLine) {
  JsonWriter json;
  json.BeginObject();
  json.Key("a").Integer(-5);
  json.Key("list").BeginArray();
  json.BeginObject(Layout::OneLine);
  json.Key("x").Bool(true);
  json.Key("inner").BeginArray();
  json.Integer(1);
  json.Integer(2);
  json.EndArray();
  json.Key("none").Null();
  json.EndObject();
  json.BeginObject(Layout::OneLine);
  json.EndObject();
  json.EndArray();
  json.Key("empty").BeginArray();
  json.EndArray();
  json.Key("big").Unsigned(18446744073709551615u);
  json.EndObject();
  EXPECT_EQ(json.Take(),
            "{\n"
            "  \"a\": -5,\n"
            "  \"list\": [\n"
            "    {\"x\": true, \"inner\": [1, 2], \"none\": null},\n"
            "    {}\n"
            "  ],\n"
            "  \"empty\": [],\n"
            "  \"big\": 18446744073709551615\n"
            "}\n");
}

TEST(JsonWriter, DeepContainersKeepTheirIndent) {
  JsonWriter json;
  for (int depth = 0; depth < 20; ++depth) json.BeginArray();
  json.Integer(1);
  for (int depth = 0; depth < 20; ++depth) json.EndArray();
  const std::string text = json.Take();
  EXPECT_NE(text.find("[\n" + std::string(40, ' ') + "1\n" + std::string(38, ' ') + "]\n"), std::string::npos) << text;
  // "[" and 19 lines "\n" + 2d spaces + "[" (419), the value's line (42),
  // 20 lines "\n" + 2d spaces + "]" for d = 19..0 (420), the last "\n".
  EXPECT_EQ(text.size(), 419u + 42u + 420u + 1u);
}

TEST(JsonWriter, EscapesWhatJsonAsksAndPassesUtf8) {
  EXPECT_EQ(JsonQuoted("Хлеб \"Бородинский\""), "\"Хлеб \\\"Бородинский\\\"\"");
  EXPECT_EQ(JsonQuoted("a\\b\n\r\t\x01\x1f"), "\"a\\\\b\\n\\r\\t\\u0001\\u001f\"");
  EXPECT_EQ(JsonQuoted(""), "\"\"");
  EXPECT_EQ(JsonQuoted(std::string_view()), "\"\"");
  EXPECT_EQ(JsonQuoted("/'\x7f"), "\"/'\x7f\"");
}

TEST(NumberAppend, DecimalsWithTheMarkAsked) {
  const struct {
    std::int64_t value;
    int digits;
    const char* text;
  } cases[] = {
      {1999, 2, "19,99"}, {5, 2, "0,05"},     {-5, 2, "-0,05"},   {0, 2, "0,00"},  {-500, 2, "-5,00"},
      {1500, 3, "1,500"}, {5, 3, "0,005"},    {-5, 3, "-0,005"},  {7, 0, "7"},     {123456789, 2, "1234567,89"},
      {INT64_MIN, 2, "-92233720368547758,08"},
  };
  for (const auto& c : cases) {
    std::string text;
    AppendDecimalFraction(text, c.value, c.digits, ',');
    EXPECT_EQ(text, c.text) << c.value << " " << c.digits;
  }
  std::string dot;
  AppendDecimalFraction(dot, 1999, 2, '.');
  EXPECT_EQ(dot, "19.99");
}

TEST(OutBuffer, GrowsPastWhatWasReserved) {
  OutBuffer out(4);
  std::string expected;
  for (int i = 0; i < 10000; ++i) {
    out.Integer(i);
    out.Put(',');
    expected += std::to_string(i) + ",";
  }
  out.Put(std::string_view());
  EXPECT_EQ(out.Size(), expected.size());
  EXPECT_EQ(out.Take(), expected);
  EXPECT_EQ(out.Size(), 0u);
}

// Through a window the text arrives in order and whole, each part within
// the window unless one value alone is longer (it is then never split).
TEST(OutBuffer, AWindowHandsOnEveryByteInOrder) {
  std::string arrived;
  std::vector<std::size_t> parts;
  JsonWriter json(32, [&](std::string_view part) {
    arrived.append(part);
    parts.push_back(part.size());
  });
  const std::string long_name(40, 'x');
  json.BeginArray(Layout::OneLine);
  for (int i = 0; i < 20; ++i) json.Integer(i);
  json.String(long_name);
  json.EndArray();
  const std::string whole =
      "[0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, \"" + long_name + "\"]\n";
  EXPECT_EQ(arrived, whole.substr(0, 71)) << "the window holds the rest until Flush()";
  json.Flush();
  json.Flush();
  EXPECT_EQ(arrived, whole);
  ASSERT_GT(parts.size(), 3u);
  EXPECT_EQ(parts.back(), long_name.size() + 4) << "the long string with its quotes, and the \"]\\n\" after it";
  parts.pop_back();
  EXPECT_LE(*std::max_element(parts.begin(), parts.end()), 32u);
}

}  // namespace
}  // namespace fjl::tapedata
