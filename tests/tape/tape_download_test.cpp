#include "tape/tape_download.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fake_exchanger.h"
#include "fake_views.h"
#include "tape/download_messages.h"
#include "tape_bytes.h"

namespace fjl::tape {
namespace {

using testing::Chunk;
using testing::HexText;
using testing::Reply;
using testing::TapeRecords;

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> bytes, std::size_t size,
                                 std::uint8_t filler = 0xFF) {
  bytes.resize(size, filler);
  return bytes;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                std::size_t count) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
          bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

class TapeDownloadTest : public ::testing::Test {
 protected:
  DownloadOutcome Run(std::string_view password = "482913") {
    return TapeDownload(password, tape, bench.Context());
  }
  std::string Box(std::size_t box) const { return bench.counters.texts[box]; }
  std::vector<std::string> Messages() const { return bench.log.shown; }
  bool ImageHolds(const std::vector<std::uint8_t>& bytes, std::size_t at = 0) const {
    return std::equal(bytes.begin(), bytes.end(), tape.Image.Bytes().begin() + static_cast<std::ptrdiff_t>(at));
  }
  bool ImageZeroFrom(std::size_t at, std::size_t count) const {
    const auto b = tape.Image.Bytes().subspan(at, count);
    return std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0; });
  }

  testing::Bench bench{kTapeCounterBoxes.size()};
  TapeData tape;
};

TEST_F(TapeDownloadTest, ReadsChunksUntilTheEndMarker) {
  // 69 bytes of records, the end marker at index 69.
  const auto bytes = Padded(TapeRecords({0, 5, 5, 2, 7, 1, 4, 19, 20, 255}), 120);
  bench.link.Push(Chunk(Slice(bytes, 0, 60)));
  auto second = Chunk(Slice(bytes, 60, 60));
  second.StatusBytes = {0x00, 0x01, 0x7F, 0x10, 0x2A, 0x05};
  bench.link.Push(second);

  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgDownloadDone)});
  EXPECT_TRUE(bench.log.errors.empty());
  ASSERT_EQ(bench.link.sent.size(), 2u);
  EXPECT_EQ(bench.link.sent[0].Command, 241);
  EXPECT_EQ(bench.link.sent[0].Data, "482913;268458935;");
  EXPECT_EQ(bench.link.sent[1].Data, "482913;268458995;");

  EXPECT_EQ(tape.TapeLength, 69);
  EXPECT_TRUE(ImageHolds(bytes));
  // Box order: types 0..12, 14..20, then the total.
  const std::vector<std::string> counts = {"1", "1", "1", "0", "1", "2", "0", "1", "0", "0", "0",
                                           "0", "0", "0", "0", "0", "0", "0", "1", "1", "9"};
  EXPECT_EQ(bench.counters.texts, counts);

  EXPECT_EQ(bench.view.results, (std::vector<std::string>{"0000", "0000"}));
  EXPECT_EQ(bench.view.statuses.back(), "00 01 7F 10 2A 05");
  EXPECT_EQ(bench.view.progress, (std::vector<std::int64_t>{60, 120}));
  EXPECT_EQ(bench.view.window_size, 2073673);
  EXPECT_EQ(bench.last_response.Fields[1], HexText(Slice(bytes, 60, 60)));
}

TEST_F(TapeDownloadTest, ShortFirstReplyEndsAtOnceStoringNothing) {
  const std::vector<std::uint8_t> forty_nine(49, 2);
  for (const std::string count : {"0", "1", "49"}) {
    SCOPED_TRACE(count);
    bench = testing::Bench(kTapeCounterBoxes.size());
    tape.TapeLength = 77;
    tape.EndMarkerFound = true;
    bench.link.Push(Reply("0000", {count, HexText(forty_nine)}));
    EXPECT_EQ(Run(), DownloadOutcome::Success);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(kMsgNoEndMarker), std::string(kMsgDownloadDone)}));
    EXPECT_EQ(bench.link.sent.size(), 1u);
    // Nothing came, so nothing of an earlier download may pass for this tape.
    EXPECT_EQ(tape.TapeLength, 0);
    EXPECT_FALSE(tape.EndMarkerFound);
    EXPECT_TRUE(ImageZeroFrom(0, 100));
    EXPECT_EQ(Box(kTapeTotalBox), "0");
  }
}

// The printer stops sending in the middle of the tape: every whole record
// that came is kept for the restoration, the one cut short is not.
TEST_F(TapeDownloadTest, ShortReplyMidTapeKeepsTheWholeRecords) {
  // 59 one-byte records of type 2, then the first 11 bytes of a 24-byte
  // record of type 15 and, in a short reply, 10 more.
  auto bytes = std::vector<std::uint8_t>(59, 2);
  const auto cut = TapeRecords({15});
  ASSERT_EQ(cut.size(), 24u);
  bytes.insert(bytes.end(), cut.begin(), cut.begin() + 11);
  bench.link.Push(Chunk(bytes));
  bench.link.Push(Reply("0000", {"10", HexText(Slice(cut, 11, 10))}));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(kMsgNoEndMarker), std::string(kMsgDownloadDone)}));
  EXPECT_EQ(tape.TapeLength, 59);
  EXPECT_FALSE(tape.EndMarkerFound);
  EXPECT_EQ(Box(2), "59");
  EXPECT_EQ(Box(kTapeTotalBox), "59");
}

// An interrupted download goes on after the bytes it kept: they are walked
// and counted first, and the first request asks for the address after them.
TEST_F(TapeDownloadTest, GoesOnAfterTheBytesAnEarlierRunKept) {
  const auto bytes = Padded(TapeRecords({0, 5, 5, 2, 7, 1, 4, 19, 20, 255}), 120);
  std::copy_n(bytes.begin(), 60, tape.Image.MutableBytes().begin());
  bench.link.Push(Chunk(Slice(bytes, 60, 60)));

  EXPECT_EQ(TapeDownload("482913", tape, bench.Context(), 60), DownloadOutcome::Success);
  ASSERT_EQ(bench.link.sent.size(), 1u);
  EXPECT_EQ(bench.link.sent[0].Data, "482913;268458995;");
  EXPECT_EQ(tape.TapeLength, 69);
  EXPECT_TRUE(ImageHolds(bytes));
  // The same boxes as one download from the start gives.
  const std::vector<std::string> counts = {"1", "1", "1", "0", "1", "2", "0", "1", "0", "0", "0",
                                           "0", "0", "0", "0", "0", "0", "0", "1", "1", "9"};
  EXPECT_EQ(bench.counters.texts, counts);
  EXPECT_EQ(bench.view.progress, (std::vector<std::int64_t>{60, 120}));
}

TEST_F(TapeDownloadTest, FiftyBytesAreDecodedAndWalked) {
  bench.link.Push(Chunk(Padded(std::vector<std::uint8_t>(49, 2), 50)));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(tape.TapeLength, 49);
  EXPECT_TRUE(tape.EndMarkerFound);
  EXPECT_EQ(Box(2), "49");
  EXPECT_EQ(Box(kTapeTotalBox), "49");
}

// A count must be a decimal number from 0 to 100: read leniently, "-100"
// or "7 bytes" would pass for a short reply and end the tape as complete.
TEST_F(TapeDownloadTest, CountThatIsNoChunkSizeIsBadDataNotTheEnd) {
  for (const std::string count : {"", "abc", " - 5", "+", "-5", "-100", " 7 bytes", "+60", "101", "1000"}) {
    SCOPED_TRACE(count);
    bench = testing::Bench(kTapeCounterBoxes.size());
    tape.TapeLength = 77;
    bench.link.Push(Reply("0000", {count, "0000"}));
    EXPECT_EQ(Run(), DownloadOutcome::BadData);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgBadData)});
  }
}

TEST_F(TapeDownloadTest, CountMayHaveBlanksAround) {
  const auto bytes = Padded(TapeRecords({2, 2, 255}), 60);
  bench.link.Push(Reply("0000", {"  60 ", HexText(bytes)}));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(tape.TapeLength, 2);
}

TEST_F(TapeDownloadTest, UpperCaseHexAcceptedLowerCaseRejected) {
  std::string hex = "0A" + std::string(14, '1') + "FF" + std::string(82, '0');
  ASSERT_EQ(hex.size(), 100u);
  bench.link.Push(Reply("0000", {"50", hex}));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(tape.Image[0], 10);
  EXPECT_EQ(tape.TapeLength, 8);
  EXPECT_EQ(Box(10), "1");

  bench = testing::Bench(kTapeCounterBoxes.size());
  tape = TapeData();
  hex[1] = 'a';
  bench.link.Push(Reply("0000", {"50", hex}));
  EXPECT_EQ(Run(), DownloadOutcome::BadData);
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgBadData)});
  EXPECT_EQ(tape.Image[0], 0);
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST_F(TapeDownloadTest, BadPairKeepsEarlierBytesUnwalked) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  std::string hex = HexText(std::vector<std::uint8_t>(60, 2));
  hex[7] = 'a';  // fourth byte of the second chunk
  bench.link.Push(Reply("0000", {"60", hex}));

  EXPECT_EQ(Run(), DownloadOutcome::BadData);
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgBadData)});
  EXPECT_TRUE(ImageHolds(std::vector<std::uint8_t>(63, 2)));
  EXPECT_TRUE(ImageZeroFrom(63, 100));
  EXPECT_EQ(Box(2), "59");  // the first chunk's records only
  EXPECT_EQ(bench.view.results.size(), 2u);
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST_F(TapeDownloadTest, RepliesThatCannotBeDecoded) {
  struct Case {
    const char* name;
    link::DeviceResponse reply;
  };
  const std::vector<std::uint8_t> fifty(50, 2);
  const Case cases[] = {
      {"more announced than the text holds", Reply("0000", {"60", HexText(fifty)})},
      {"count only", Reply("0000", {"60"})},
      {"empty data part: the previous fields are stale", Reply("0000", {})},
      {"huge count", Reply("0000", {"99999999999999999999", HexText(fifty)})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bench = testing::Bench(kTapeCounterBoxes.size());
    tape = TapeData();
    bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
    bench.link.Push(c.reply);
    EXPECT_EQ(Run(), DownloadOutcome::BadData);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgBadData)});
    EXPECT_TRUE(ImageHolds(std::vector<std::uint8_t>(60, 2)));
    EXPECT_EQ(Box(kTapeTotalBox), "59");
    EXPECT_EQ(tape.TapeLength, 0);
  }
}

TEST_F(TapeDownloadTest, EmptyReplyNeverReadsAStaleCount) {
  // The link still holds the "0" of an earlier short reply when a reply
  // without a data part arrives; taking it for this reply's count would
  // turn a malformed reply into a finished tape.
  bench.link.Push(Reply("0000", {"0"}));
  ASSERT_EQ(Run(), DownloadOutcome::Success);
  bench.log = recording::Messages();
  bench.link.Push(Reply("0000", {}));
  EXPECT_EQ(Run(), DownloadOutcome::BadData);
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgBadData)});
}

TEST_F(TapeDownloadTest, CountOnlyReplyBelowFiftyEndsTheDownload) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(Reply("0000", {"10"}));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  // No end marker was met, but all 60 records came whole, the last one too.
  EXPECT_EQ(Box(2), "60");
  EXPECT_EQ(tape.TapeLength, 60);
  EXPECT_FALSE(tape.EndMarkerFound);
}

TEST_F(TapeDownloadTest, TimeoutHalfwayKeepsEarlierChunks) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(testing::Silence());

  EXPECT_EQ(Run(), DownloadOutcome::Timeout);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Ошибка! Таймаут устройства! Чтение данных остановлено."});
  EXPECT_EQ(bench.view.results.size(), 1u);  // the boxes keep the first reply's texts
  EXPECT_EQ(bench.view.statuses.size(), 1u);
  EXPECT_TRUE(ImageHolds(std::vector<std::uint8_t>(60, 2)));
  EXPECT_EQ(Box(2), "59");
  EXPECT_EQ(tape.TapeLength, 0);
  EXPECT_TRUE(bench.last_response.NoReply());
}

// A stop asked while the second chunk is on its way: that chunk is still
// stored and walked, no third request goes out, and no message is shown.
TEST_F(TapeDownloadTest, StopRequestEndsBeforeTheNextRequestKeepingWhatCame) {
  struct Flag final : StopSignal {
    bool StopRequested() const override { return raised; }
    bool raised = false;
  } stop;
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)), [&stop] { stop.raised = true; });
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  DownloadContext context = bench.Context();
  context.Stop = &stop;

  EXPECT_EQ(TapeDownload("482913", tape, context), DownloadOutcome::Cancelled);
  EXPECT_EQ(bench.link.sent.size(), 2u);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(ImageHolds(std::vector<std::uint8_t>(120, 2)));
  EXPECT_EQ(bench.view.progress.back(), 120);
  EXPECT_EQ(Box(2), "119");  // 120 one-byte records of type 2, the last still without its follower
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST_F(TapeDownloadTest, ErrorCodeHalfway) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(Reply("0102", {}, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));

  EXPECT_EQ(Run(), DownloadOutcome::DeviceError);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Ошибка чтения данных из флеш-памяти. Чтение данных остановлено."});
  EXPECT_EQ(bench.view.results, (std::vector<std::string>{"0000", "0102"}));
  EXPECT_EQ(bench.view.statuses.back(), "01 02 03 04 05 06");
  EXPECT_EQ(bench.last_response.ErrorCode, "0102");
  EXPECT_TRUE(ImageHolds(std::vector<std::uint8_t>(60, 2)));
  EXPECT_EQ(Box(2), "59");
}

TEST_F(TapeDownloadTest, NakOrBadChecksumIsNoGoodChunk) {
  const std::pair<std::uint32_t, std::string_view> cases[] = {
      {link::StatusNak, kMsgNak}, {link::StatusBadChecksum, kMsgBadChecksum}};
  for (const auto& [bit, message] : cases) {
    SCOPED_TRACE(bit);
    bench = testing::Bench(kTapeCounterBoxes.size());
    tape = TapeData();
    bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
    // What a garbled frame may still carry must not be taken as data.
    auto garbled = Chunk(Padded(TapeRecords({2, 255}), 60));
    garbled.Status = bit;
    bench.link.Push(garbled);
    EXPECT_EQ(Run(), DownloadOutcome::LinkError);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(message)});
    EXPECT_EQ(bench.view.results.size(), 1u);
    EXPECT_TRUE(ImageZeroFrom(60, 60));
    EXPECT_EQ(tape.TapeLength, 0);
  }
}

TEST_F(TapeDownloadTest, UnknownRecordTypeStopsTheDownload) {
  auto bytes = TapeRecords({0});
  bytes.push_back(13);
  bench.link.Push(Chunk(Padded(bytes, 60, 2)));
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 255)));

  EXPECT_EQ(Run(), DownloadOutcome::UnknownRecord);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Неизвестный тип записи 13 по адресу 0x10005BBB. Чтение данных остановлено."});
  EXPECT_EQ(bench.link.sent.size(), 1u);
  EXPECT_EQ(Box(0), "1");
  EXPECT_EQ(Box(kTapeTotalBox), "1");
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST_F(TapeDownloadTest, CounterBoxTypedOverWithTextEndsTheDownload) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(Chunk(Padded(TapeRecords({2, 255}), 60)),
                  [this] { bench.counters.texts[2] = "abc"; });

  EXPECT_EQ(Run(), DownloadOutcome::CounterNotNumber);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(bench.log.errors, std::vector<std::string>{
                                  "Значение 'abc' в поле \"Печать итога:\" не является целым "
                                  "числом. Чтение данных остановлено."});
  EXPECT_EQ(Box(kTapeTotalBox), "59");
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST_F(TapeDownloadTest, TypedNumberIsWhereCountingGoesOn) {
  bench.link.Push(Chunk(std::vector<std::uint8_t>(60, 2)));
  bench.link.Push(Chunk(Padded(TapeRecords({2, 255}), 60)),
                  [this] { bench.counters.texts[2] = "1000"; });
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  EXPECT_EQ(Box(2), "1002");  // the 60th TotalPrint of chunk 1, then the one of chunk 2
  EXPECT_EQ(Box(kTapeTotalBox), "61");
}

TEST_F(TapeDownloadTest, EachCounterRedrawnAsItChanges) {
  bench.link.Push(Chunk(Padded(TapeRecords({2, 19, 255}), 50)));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  using Write = std::pair<std::size_t, std::string>;
  const std::vector<Write> counting(bench.counters.writes.end() - 4, bench.counters.writes.end());
  EXPECT_EQ(counting, (std::vector<Write>{{2, "1"}, {kTapeTotalBox, "1"}, {18, "1"},
                                          {kTapeTotalBox, "2"}}));
}

TEST_F(TapeDownloadTest, RetryStartsAgainAndCountsThisTapeOnly) {
  const auto bytes = Padded(TapeRecords({2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                         2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                         2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                         2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 255}),
                            120);
  bench.link.Push(Chunk(Slice(bytes, 0, 60)));
  bench.link.Push(testing::Silence());
  ASSERT_EQ(Run(), DownloadOutcome::Timeout);
  ASSERT_EQ(Box(2), "59");

  bench.counters.texts[5] = "abc";  // whatever the boxes hold, a new download counts from 0
  bench.link.Push(Chunk(Slice(bytes, 0, 60)));
  bench.link.Push(Chunk(Slice(bytes, 60, 60)));
  EXPECT_EQ(Run(), DownloadOutcome::Success);
  ASSERT_EQ(bench.link.sent.size(), 4u);
  EXPECT_EQ(bench.link.sent[2].Data, "482913;268458935;");
  EXPECT_EQ(bench.link.sent[3].Data, "482913;268458995;");
  EXPECT_EQ(Box(2), "61");
  EXPECT_EQ(Box(5), "0");
  EXPECT_EQ(Box(kTapeTotalBox), "61");
  EXPECT_EQ(tape.TapeLength, 61);
}

TEST_F(TapeDownloadTest, PasswordSentAsTyped) {
  bench.link.Push(Reply("0000", {"0"}));
  Run("\xCF\xE0\xF0\xEE\xEB\xFC 1");
  EXPECT_EQ(bench.link.sent[0].Data, "\xCF\xE0\xF0\xEE\xEB\xFC 1;268458935;");
}

TEST_F(TapeDownloadTest, WholeWindowWithoutEndMarker) {
  // Article-less receipts all the way: 4-byte records of type 0, except the
  // window's very last byte, a TotalPrint that never gets a byte after it.
  std::vector<std::uint8_t> flash(static_cast<std::size_t>(kTapeArea.Size()), 0);
  flash.back() = 2;
  testing::FlashExchanger printer(kTapeArea.first_address, flash, 100);
  printer.announce_full_chunk = true;  // the last reply announces more than the window holds
  tape.TapeLength = 5;

  EXPECT_EQ(TapeDownload("482913", tape, bench.Context(printer)), DownloadOutcome::Success);
  EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(kMsgNoEndMarker), std::string(kMsgDownloadDone)}));
  EXPECT_EQ(printer.requests, 20737);
  EXPECT_EQ(printer.last_address, 270532535);
  EXPECT_EQ(bench.view.progress.back(), 2073673);
  EXPECT_EQ(tape.Image[2073672], 2);
  // Records at 0, 4, ..., 2073668, and the TotalPrint that fills the last byte.
  EXPECT_EQ(tape.TapeLength, 2073673);
  EXPECT_FALSE(tape.EndMarkerFound);
  EXPECT_EQ(Box(0), "518418");
  EXPECT_EQ(Box(2), "1");
  EXPECT_EQ(Box(kTapeTotalBox), "518419");
}

}  // namespace
}  // namespace fjl::tape
