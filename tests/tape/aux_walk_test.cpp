#include "tape/record_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tape_bytes.h"

namespace fjl::tape {
namespace {

using testing::AuxRecords;

class AuxWalkTest : public ::testing::Test {
 protected:
  void Load(const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.MutableBytes().begin());
  }
  AuxWalk::Outcome Pass(std::int64_t received) {
    return walk.Pass(image, received, [&](std::uint8_t kind) {
      counted.push_back(kind);
      return true;
    });
  }
  AuxImage image;
  AuxWalk walk;
  std::vector<std::uint8_t> counted;
};

TEST_F(AuxWalkTest, EndKindFirstEndsAtOnce) {
  Load(AuxRecords({{20, 255}}));
  EXPECT_EQ(Pass(60), AuxWalk::Outcome::EndOfData);
  EXPECT_EQ(walk.Position(), 0);
  EXPECT_TRUE(counted.empty());
}

TEST_F(AuxWalkTest, EndTestComesBeforeTheCompletenessTest) {
  // The end record's announced length runs past what has arrived.
  auto bytes = AuxRecords({{6, 0}});
  bytes.push_back(200);
  bytes.push_back(255);
  Load(bytes);
  EXPECT_EQ(Pass(10), AuxWalk::Outcome::EndOfData);
  EXPECT_EQ(walk.Position(), 6);
  EXPECT_EQ(counted, std::vector<std::uint8_t>{0});
}

TEST_F(AuxWalkTest, EndTestWaitsForTheKindByte) {
  // Only the length byte of the next record has arrived; the 255 after it
  // is a stale byte of an earlier download.
  auto bytes = AuxRecords({{6, 3}});
  bytes.push_back(9);
  bytes.push_back(255);
  Load(bytes);
  EXPECT_EQ(Pass(7), AuxWalk::Outcome::NeedMoreBytes);
  EXPECT_EQ(walk.Position(), 6);
  EXPECT_EQ(Pass(8), AuxWalk::Outcome::EndOfData);
}

TEST_F(AuxWalkTest, RecordCountedOnlyOnceTheByteAfterItHasArrived) {
  Load(AuxRecords({{10, 1}, {8, 7}, {7, 255}}));
  EXPECT_EQ(Pass(10), AuxWalk::Outcome::NeedMoreBytes);
  EXPECT_TRUE(counted.empty());
  EXPECT_EQ(Pass(11), AuxWalk::Outcome::NeedMoreBytes);
  EXPECT_EQ(counted, std::vector<std::uint8_t>{1});
  EXPECT_EQ(Pass(25), AuxWalk::Outcome::EndOfData);
  EXPECT_EQ(counted, (std::vector<std::uint8_t>{1, 7}));
  EXPECT_EQ(walk.Position(), 18);
}

TEST_F(AuxWalkTest, ZeroLengthStopsTheWalk) {
  auto bytes = AuxRecords({{6, 2}});
  bytes.push_back(0);
  bytes.push_back(1);
  Load(bytes);
  EXPECT_EQ(Pass(100), AuxWalk::Outcome::Unframable);
  EXPECT_EQ(walk.Position(), 6);
  EXPECT_EQ(Pass(100), AuxWalk::Outcome::Unframable);
  EXPECT_EQ(counted, std::vector<std::uint8_t>{2});
}

}  // namespace
}  // namespace fjl::tape
