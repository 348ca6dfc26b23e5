#include "tape/record_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "support/unlisted_record_types.h"
#include "tape_bytes.h"

namespace fjl::tape {
namespace {

using testing::TapeRecords;

TEST(RecordLengthTable, EveryEntry) {
  // Lengths by type, type byte included, from the record formats.
  const std::map<int, int> defined = {
      {0, 4},   {1, 14},  {2, 1},   {3, 6},   {4, 10},  {5, 12},  {6, 3},
      {7, 5},   {8, 7},   {9, 5},   {10, 8},  {11, 6},  {12, 2},  {14, 13},
      {15, 24}, {16, 23}, {17, 5},  {18, 18}, {19, 1},  {20, 10}, {255, 255}};
  for (int type = 0; type < 256; ++type) {
    const auto it = defined.find(type);
    const int expected = it == defined.end() ? 0 : it->second;
    EXPECT_EQ(RecordLength(static_cast<std::uint8_t>(type)), expected) << "type " << type;
  }
}

struct Walked {
  TapeWalk::Outcome outcome;
  std::vector<std::uint8_t> counted;
};

class TapeWalkTest : public ::testing::Test {
 protected:
  void Load(const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.MutableBytes().begin());
  }
  Walked Pass(std::int64_t received) {
    Walked w;
    w.outcome = walk.Pass(image, received, [&](std::uint8_t t) {
      w.counted.push_back(t);
      return true;
    });
    return w;
  }
  TapeImage image;
  TapeWalk walk;
};

TEST_F(TapeWalkTest, FirstByteEndMarkerEndsAtZero) {
  Load({255, 0, 0, 0});
  const Walked w = Pass(4);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::EndOfData);
  EXPECT_EQ(walk.Position(), 0);
  EXPECT_TRUE(w.counted.empty());
}

TEST_F(TapeWalkTest, SingleTotalPrint) {
  Load({2, 255});
  const Walked w = Pass(2);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::EndOfData);
  EXPECT_EQ(w.counted, std::vector<std::uint8_t>{2});
  EXPECT_EQ(walk.Position(), 1);
}

TEST_F(TapeWalkTest, RecordStraddlingTwoRepliesCountedAfterTheSecond) {
  Load(TapeRecords({5, 0, 255}));  // 12 + 4 bytes, marker at 16
  Walked w = Pass(7);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::NeedMoreBytes);
  EXPECT_TRUE(w.counted.empty());
  w = Pass(14);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::NeedMoreBytes);
  EXPECT_EQ(w.counted, std::vector<std::uint8_t>{5});
  EXPECT_EQ(walk.Position(), 12);
  w = Pass(17);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::EndOfData);
  EXPECT_EQ(w.counted, std::vector<std::uint8_t>{0});
  EXPECT_EQ(walk.Position(), 16);
}

TEST_F(TapeWalkTest, RecordEndingOnLastReceivedByteWaitsForTheNextReply) {
  Load(TapeRecords({1, 255}));
  Walked w = Pass(14);  // the ReceiptClose's last byte is the last one received
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::NeedMoreBytes);
  EXPECT_TRUE(w.counted.empty());
  w = Pass(15);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::EndOfData);
  EXPECT_EQ(w.counted, std::vector<std::uint8_t>{1});
}

TEST_F(TapeWalkTest, NeverLooksAtBytesNotReceived) {
  // A stale marker left in the image by an earlier download must not end this one.
  Load({2, 255});
  const Walked w = Pass(1);
  EXPECT_EQ(w.outcome, TapeWalk::Outcome::NeedMoreBytes);
  EXPECT_TRUE(w.counted.empty());
  EXPECT_EQ(Pass(0).outcome, TapeWalk::Outcome::NeedMoreBytes);
}

TEST_F(TapeWalkTest, TypeWithoutLengthStopsTheWalk) {
  for (const std::uint8_t bad : fjl::testing::UnlistedRecordTypes()) {
    SCOPED_TRACE(int{bad});
    walk = TapeWalk();
    std::vector<std::uint8_t> bytes = TapeRecords({0, 2});
    bytes.push_back(bad);
    bytes.push_back(255);
    Load(bytes);
    const Walked w = Pass(100);
    EXPECT_EQ(w.outcome, TapeWalk::Outcome::Unframable);
    EXPECT_EQ(w.counted, (std::vector<std::uint8_t>{0, 2}));
    EXPECT_EQ(walk.Position(), 5);
    // Asking again neither loops nor counts anything twice.
    EXPECT_EQ(Pass(100).outcome, TapeWalk::Outcome::Unframable);
    EXPECT_EQ(walk.Position(), 5);
  }
}

TEST_F(TapeWalkTest, RefusedRecordStopsWithoutAdvancing) {
  Load(TapeRecords({2, 2, 255}));
  int seen = 0;
  const auto outcome = walk.Pass(image, 3, [&](std::uint8_t) { return ++seen < 2; });
  EXPECT_EQ(outcome, TapeWalk::Outcome::Interrupted);
  EXPECT_EQ(walk.Position(), 1);
}

TEST_F(TapeWalkTest, PiecewisePassesCountEveryRecordExactlyOnce) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> defined;
  for (int t = 0; t <= 20; ++t) {
    if (t != 13) defined.push_back(static_cast<std::uint8_t>(t));
  }
  std::vector<std::uint8_t> bytes;
  std::map<std::uint8_t, int> expected;
  for (int i = 0; i < 3000; ++i) {
    const std::uint8_t t = defined[random() % defined.size()];
    ++expected[t];
    testing::Append(bytes, TapeRecords({t}));
  }
  const auto end = static_cast<std::int64_t>(bytes.size());
  bytes.push_back(255);
  Load(bytes);

  std::map<std::uint8_t, int> counted;
  std::int64_t received = 0;
  TapeWalk::Outcome outcome = TapeWalk::Outcome::NeedMoreBytes;
  while (outcome == TapeWalk::Outcome::NeedMoreBytes) {
    received = std::min<std::int64_t>(received + 1 + random() % 97, end + 1);
    outcome = walk.Pass(image, received, [&](std::uint8_t t) {
      ++counted[t];
      return true;
    });
  }
  EXPECT_EQ(outcome, TapeWalk::Outcome::EndOfData);
  EXPECT_EQ(walk.Position(), end);
  EXPECT_EQ(counted, expected);
}

}  // namespace
}  // namespace fjl::tape
