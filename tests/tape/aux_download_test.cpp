#include "tape/aux_download.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_exchanger.h"
#include "fake_views.h"
#include "tape/download_messages.h"
#include "tape_bytes.h"

namespace fjl::tape {
namespace {

using testing::AuxRecords;
using testing::Chunk;

class AuxDownloadTest : public ::testing::Test {
 protected:
  DownloadOutcome Run() { return AuxDownload("482913", image, bench.Context()); }
  void PushChunks(std::vector<std::uint8_t> bytes, std::size_t chunk) {
    bytes.resize((bytes.size() + chunk - 1) / chunk * chunk, 0x33);
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
      bench.link.Push(Chunk(std::vector<std::uint8_t>(
          bytes.begin() + static_cast<std::ptrdiff_t>(at),
          bytes.begin() + static_cast<std::ptrdiff_t>(at + chunk))));
    }
  }
  testing::Bench bench{kAuxCounterBoxes.size()};
  AuxImage image;
};

TEST_F(AuxDownloadTest, CountsRecordsByKind) {
  const auto bytes = AuxRecords({{30, 0}, {12, 1}, {10, 2}, {20, 3}, {8, 7}, {9, 0}, {7, 255}});
  PushChunks(bytes, 60);

  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(bench.log.shown,
            std::vector<std::string>{"Успешно. Чтение контрольной ленты завершено."});
  ASSERT_EQ(bench.link.sent.size(), 2u);
  EXPECT_EQ(bench.link.sent[0].Data, "482913;388693;");
  EXPECT_EQ(bench.link.sent[1].Data, "482913;388753;");
  EXPECT_EQ(bench.counters.texts, (std::vector<std::string>{"2", "1", "1", "1", "6"}));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.Bytes().begin()));
  EXPECT_EQ(bench.view.window_size, 1708459);
}

TEST_F(AuxDownloadTest, EndKindFirstCountsNothing) {
  bench.counters.texts = {"4", "4", "4", "4", "16"};  // left from an earlier attempt
  PushChunks(AuxRecords({{20, 255}}), 50);
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(bench.counters.texts, std::vector<std::string>(5, "0"));
  EXPECT_EQ(bench.link.sent.size(), 1u);
}

TEST_F(AuxDownloadTest, ZeroLengthRecordStopsTheDownload) {
  auto bytes = AuxRecords({{6, 1}});
  bytes.push_back(0);
  bytes.push_back(2);
  PushChunks(bytes, 50);
  bench.link.Push(Chunk(std::vector<std::uint8_t>(50, 255)));

  EXPECT_EQ(Run(), DownloadOutcome::UnknownRecord);
  EXPECT_EQ(bench.log.shown, std::vector<std::string>{
                                    "Запись нулевой длины по адресу 0x5EE5B. Чтение данных остановлено."});
  EXPECT_EQ(bench.counters.texts, (std::vector<std::string>{"0", "1", "0", "0", "1"}));
  EXPECT_EQ(bench.link.sent.size(), 1u);
}

TEST_F(AuxDownloadTest, FailuresKeepEarlierChunks) {
  PushChunks(AuxRecords({{10, 3}, {10, 3}, {10, 3}, {10, 3}, {10, 3}, {10, 3}}), 60);
  bench.link.Push(testing::Silence());
  EXPECT_EQ(Run(), DownloadOutcome::Timeout);
  EXPECT_EQ(bench.log.shown,
            std::vector<std::string>{"Ошибка! Таймаут устройства! Чтение данных остановлено."});
  // The sixth record ends on the chunk's last byte and waits for the next one.
  EXPECT_EQ(bench.counters.texts, (std::vector<std::string>{"0", "0", "0", "5", "5"}));
  EXPECT_EQ(image[50], 10);
  EXPECT_EQ(bench.view.results.size(), 1u);
}

TEST_F(AuxDownloadTest, CounterBoxHoldingTextEndsTheDownload) {
  // The user types into "Всего:" while the first reply is on its way.
  auto chunk = AuxRecords({{10, 0}, {10, 1}, {10, 3}, {7, 255}});
  chunk.resize(50, 0);
  bench.link.Push(Chunk(chunk), [this] { bench.counters.texts[kAuxTotalBox] = "x1"; });
  EXPECT_EQ(Run(), DownloadOutcome::CounterNotNumber);
  EXPECT_EQ(bench.log.errors, std::vector<std::string>{
                                  "Значение 'x1' в поле \"Всего:\" не является целым числом. "
                                  "Чтение данных остановлено."});
  EXPECT_TRUE(bench.log.shown.empty());
  EXPECT_EQ(bench.counters.texts[0], "1");  // the kind's own box was counted before the total
}

}  // namespace
}  // namespace fjl::tape
