#include "tape/aux_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace fjl::tape {
namespace {

class AuxRecordsTest : public ::testing::Test {
 protected:
  void Put(std::int64_t at, const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(),
              image.MutableBytes().begin() + static_cast<std::ptrdiff_t>(at));
  }
  // Through a string: g++ 12 at -O3 takes pushes after a vector insert for
  // writes past the end (-Wstringop-overflow).
  static void Append(std::vector<std::uint8_t>& record, const std::string& bytes) {
    record.insert(record.end(), bytes.begin(), bytes.end());
  }
  AuxImage image;
};

TEST_F(AuxRecordsTest, ItemParametersOfLengthThirty) {
  std::vector<std::uint8_t> record = {30, 0, 9, 9, 9,                   // length, kind, unused
                                      0x01, 0x02, 0x03, 0x04, 0x05, 0x86,  // code
                                      4, 17, 9};                          // tax, department, unused
  const std::string name = "\xCC\xEE\xEB\xEE\xEA\xEE 3.2% 1\xEB";  // 14 bytes
  Append(record, name + "\xEE\xEE");
  ASSERT_EQ(record.size(), 30u);
  Put(100, record);

  const auto item = ItemAt(image, 105);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Kind, 0);
  EXPECT_EQ(item->Code, 0x860504030201u);
  EXPECT_EQ(item->TaxGroup, 4);
  EXPECT_EQ(item->Department, 17);
  EXPECT_EQ(item->Name, name);
}

TEST_F(AuxRecordsTest, CommentOfLengthTwenty) {
  std::vector<std::uint8_t> record = {20, 3, 0, 0, 0};
  const std::string text = "\xD1\xEF\xE0\xF1\xE8\xE1\xEE \xE7\xE0 \xEF\xEE";  // 13 bytes
  Append(record, text + "\x01\x02");
  Put(0, record);
  const auto comment = CommentAt(image, 5);
  ASSERT_TRUE(comment);
  EXPECT_EQ(comment->Kind, 3);
  EXPECT_EQ(comment->Text, text);
}

TEST_F(AuxRecordsTest, ShortestRecordsGiveEmptyTexts) {
  Put(0, {16, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0});
  const auto item = ItemAt(image, 5);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Code, 1u);
  EXPECT_TRUE(item->Name.empty());

  Put(50, {7, 3, 0, 0, 0, 0, 0});
  const auto comment = CommentAt(image, 55);
  ASSERT_TRUE(comment);
  EXPECT_TRUE(comment->Text.empty());
}

TEST_F(AuxRecordsTest, ReferencesThatCannotBeReadGiveNothing) {
  Put(0, {15, 0});  // too short for an article record
  EXPECT_FALSE(ItemAt(image, 5));
  Put(20, {6, 3});  // too short for a comment
  EXPECT_FALSE(CommentAt(image, 25));
  // Length byte 0 (the image is zero wherever nothing was put).
  EXPECT_FALSE(ItemAt(image, 1005));
  EXPECT_FALSE(CommentAt(image, 1005));
  // Before the image start.
  EXPECT_FALSE(ItemAt(image, 4));
  EXPECT_FALSE(CommentAt(image, -1));
  EXPECT_FALSE(ItemAt(image, INT64_MIN));
  // At or beyond the image end.
  const auto size = static_cast<std::int64_t>(image.Size());
  EXPECT_FALSE(ItemAt(image, size + 5));
  EXPECT_FALSE(CommentAt(image, INT64_MAX));
}

TEST_F(AuxRecordsTest, RecordMustFitInsideTheImage) {
  const auto size = static_cast<std::int64_t>(image.Size());
  Put(size - 20, {21, 3});  // one byte too long for what is left
  EXPECT_FALSE(CommentAt(image, size - 15));
  Put(size - 20, {20, 3});  // ends exactly on the last byte
  const auto comment = CommentAt(image, size - 15);
  ASSERT_TRUE(comment);
  EXPECT_EQ(comment->Text.size(), 13u);
}

}  // namespace
}  // namespace fjl::tape
