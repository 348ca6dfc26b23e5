// The two downloads against a misbehaving printer, through the same core
// calls the step 1 and step 2 windows make: what the user is shown, what
// stays in the image and the counter boxes, and that a retry succeeds once
// the printer behaves again.
//
// Silence costs 5 s of real time over a pseudo-terminal, so only the tape's
// three silent cases run there; the other waits run on the in-process
// channel's own clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_harness.h"
#include "link/device_link.h"
#include "sim/lib/fault_plan.h"

namespace fjl::e2e {
namespace {

using namespace std::chrono_literals;

enum class Area { Tape, Aux };

const char* NameOf(Area area) { return area == Area::Tape ? "tape" : "aux"; }

tape::DownloadOutcome Read(Wizard& w, Area area) { return area == Area::Tape ? w.ReadTape() : w.ReadAux(); }
DownloadStep& StepOf(Wizard& w, Area area) { return area == Area::Tape ? w.step1 : w.step2; }
std::span<const std::uint8_t> ImageOf(Wizard& w, Area area) {
  return area == Area::Tape ? w.tape->Image.Bytes() : w.aux->Bytes();
}
const sim::Bytes& BytesOf(const BusyJournal& j, Area area) { return area == Area::Tape ? j.tape : j.aux; }

// The busy journal: 40 receipts of six records (43 bytes) in 1,720 bytes
// and the end marker; 30 articles (items 0..9 are 37 bytes, 10..29 are 38),
// a department, a unit and a comment in 1,170 bytes and the end mark.
constexpr std::int64_t kTapeLength = 1720;
const std::vector<std::string> kTapeCountsWhole = {"40", "40", "40", "0", "40", "40", "0", "0", "0", "0", "0",
                                                   "0",  "40", "0",  "0", "0",  "0",  "0", "0", "0", "240"};
const std::vector<std::string> kAuxCountsWhole = {"30", "1", "1", "1", "33"};

// A complete download: the success message, every byte, every record counted.
void ExpectWhole(Wizard& w, Area area, const BusyJournal& journal) {
  DownloadStep& step = StepOf(w, area);
  EXPECT_EQ(step.messages.shown.back(), kShownDone);
  EXPECT_TRUE(SameBytes(ImageOf(w, area), BytesOf(journal, area), BytesOf(journal, area).size()));
  if (area == Area::Tape) {
    EXPECT_EQ(step.counters.texts, kTapeCountsWhole);
    EXPECT_EQ(w.tape->TapeLength, kTapeLength);
  } else {
    EXPECT_EQ(step.counters.texts, kAuxCountsWhole);
  }
  EXPECT_EQ(step.boxes.Result(), "0000");
  EXPECT_EQ(step.boxes.Status(), "00 00 00 00 00 00");
}

// ---- Silence at the first, a middle and the last chunk ---------------------

struct ChunkCase {
  int reply;                  // the flash read that goes unanswered
  std::string total_counted;  // "Всего:" once the earlier chunks were walked
};

// 100 bytes: nothing whole yet (the walk counts a record once a byte past it
// has arrived). 800 bytes: 18 receipts (774) and the 19th's open,
// department, sale and total (to 793); its payment would end at 803.
// 1,700 bytes: 39 receipts (1,677) and again four records (to 1,696).
const ChunkCase kTapeChunks[] = {{1, "0"}, {9, "112"}, {18, "238"}};

TEST(FaultTapeDownload, SilentPrinterAtFirstMiddleAndLastChunkOverAPseudoTerminal) {
  for (const ChunkCase& c : kTapeChunks) {
    SCOPED_TRACE("silent at flash read " + std::to_string(c.reply));
    const BusyJournal journal = MakeBusyJournal();
    ASSERT_EQ(FlashReadsFor(journal.tape), 18);
    sim::Simulator printer(BusyPrinter());
    printer.AddFault({.kind = sim::FaultKind::Silence, .command = 241, .every = c.reply, .limit = 1});
    sim::PtyPrinter pty(printer);
    link::DeviceLink link;
    // The wait itself is the same over a real line whatever its length: a
    // short one keeps the test quick (the in-process cases below take the
    // full five seconds on the channel's clock).
    link.SetReplyTimeout(500ms);
    ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
    Wizard w(link);

    const auto start = Clock::now();
    EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Timeout);
    EXPECT_GE(Clock::now() - start, 500ms);

    EXPECT_EQ(w.step1.messages.shown, Shown{kShownTimeout});
    EXPECT_TRUE(w.step1.messages.errors.empty());
    const std::size_t kept = static_cast<std::size_t>(c.reply - 1) * 100;
    EXPECT_TRUE(SameBytes(w.TapeBytes(kept), journal.tape, kept));
    EXPECT_EQ(w.step1.counters.texts[tape::kTapeTotalBox], c.total_counted);
    EXPECT_EQ(w.tape->TapeLength, 0);
    // The boxes keep the last reply that came (none before the first read).
    EXPECT_EQ(w.step1.boxes.Result(), c.reply == 1 ? "" : "0000");
    EXPECT_TRUE(w.last_response.NoReply());

    // The printer answers again: the retry reads everything from the start.
    EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    EXPECT_EQ(w.step1.messages.shown, (Shown{kShownTimeout, kShownDone}));
    ExpectWhole(w, Area::Tape, journal);
  }
}

struct AuxChunkCase {
  int reply;
  std::vector<std::string> counted;
};

// 500 bytes: items 0..12 end at 484 and are counted; item 13 ends at 522.
// 1,100 bytes: items up to 28 end at 1,092; item 29 ends at 1,130.
const AuxChunkCase kAuxChunks[] = {
    {1, {"0", "0", "0", "0", "0"}},
    {6, {"13", "0", "0", "0", "13"}},
    {12, {"29", "0", "0", "0", "29"}},
};

TEST(FaultAuxDownload, SilentPrinterAtFirstMiddleAndLastChunkInProcess) {
  for (const AuxChunkCase& c : kAuxChunks) {
    SCOPED_TRACE("silent at flash read " + std::to_string(c.reply));
    const BusyJournal journal = MakeBusyJournal();
    ASSERT_EQ(FlashReadsFor(journal.aux), 12);
    sim::Simulator printer(BusyPrinter());
    InProcessLink line(printer);
    Wizard w(line.link);
    ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    printer.AddFault({.kind = sim::FaultKind::Silence, .command = 241, .every = c.reply, .limit = 1});

    const auto before = line.Now();
    EXPECT_EQ(w.ReadAux(), tape::DownloadOutcome::Timeout);
    // Fifty empty reads of 100 ms on the channel's clock.
    EXPECT_GE(line.Now() - before, 5000ms);

    EXPECT_EQ(w.step2.messages.shown, Shown{kShownTimeout});
    const std::size_t kept = static_cast<std::size_t>(c.reply - 1) * 100;
    EXPECT_TRUE(SameBytes(w.AuxBytes(kept), journal.aux, kept));
    EXPECT_EQ(w.step2.counters.texts, c.counted);
    // Step 1 keeps its tape; only the latest reply changed.
    EXPECT_EQ(w.tape->TapeLength, kTapeLength);
    EXPECT_TRUE(w.last_response.NoReply());

    EXPECT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
    ExpectWhole(w, Area::Aux, journal);
  }
}

// ---- The cable pulled at the first, a middle and the last chunk ------------

struct HangUpCase {
  Area area;
  int reply;
};

TEST(FaultDownloads, CablePulledAtFirstMiddleAndLastChunkEndsAtOnceAndTheReplugWorks) {
  const HangUpCase cases[] = {{Area::Tape, 1}, {Area::Tape, 9}, {Area::Tape, 18},
                              {Area::Aux, 1},  {Area::Aux, 6},  {Area::Aux, 12}};
  for (const HangUpCase& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.area)) + " hangs up at flash read " + std::to_string(c.reply));
    const BusyJournal journal = MakeBusyJournal();
    sim::Simulator printer(BusyPrinter());
    PluggablePrinter plug(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(plug.Port(), 115200), 0);
    Wizard w(link);
    if (c.area == Area::Aux) {
      ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    }
    printer.AddFault({.kind = sim::FaultKind::HangUp, .command = 241, .every = c.reply, .limit = 1});

    auto start = Clock::now();
    EXPECT_EQ(Read(w, c.area), tape::DownloadOutcome::Timeout);
    // A line that is gone ends the wait at once instead of after 50 empty reads.
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_FALSE(plug.Serving());
    EXPECT_EQ(StepOf(w, c.area).messages.shown, Shown{kShownLineGone});
    const std::size_t kept = static_cast<std::size_t>(c.reply - 1) * 100;
    EXPECT_TRUE(SameBytes(ImageOf(w, c.area), BytesOf(journal, c.area), kept));

    // Still unplugged: the retry cannot open the port and says so at once.
    start = Clock::now();
    EXPECT_EQ(Read(w, c.area), tape::DownloadOutcome::Timeout);
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_EQ(StepOf(w, c.area).messages.shown, (Shown{kShownLineGone, kShownLineGone}));

    // Plugged in again under the same name: the same link carries on.
    plug.Plug();
    EXPECT_EQ(Read(w, c.area), tape::DownloadOutcome::Success);
    ExpectWhole(w, c.area, journal);
    EXPECT_TRUE(link.IsOpen());
  }
}

// ---- Link faults and odd replies on every tenth reply ----------------------

struct ReplyFault {
  const char* rule_text;
  tape::DownloadOutcome outcome;
  std::string shown;
  std::size_t kept;    // image bytes known to be the printer's
  bool boxes_updated;  // the result box shows the faulty reply's code
  std::string result;  // what the result box shows then
};

// The tenth read fails, so the first nine chunks (900 bytes) stay. NAK and
// a bad checksum leave the boxes with the ninth reply; an error code shows
// itself there.
const ReplyFault kEveryTenth[] = {
    {"nak:cmd=241,every=10", tape::DownloadOutcome::LinkError, kShownNak, 900, false, "0000"},
    {"bad-checksum:cmd=241,every=10", tape::DownloadOutcome::LinkError, kShownBadChecksum, 900, false, "0000"},
    // A SYN inside a frame is data to the receiver, so the sum no longer holds.
    {"syn-inside:cmd=241,every=10,count=20", tape::DownloadOutcome::LinkError, kShownBadChecksum, 900, false, "0000"},
    {"cut:cmd=241,every=10,etx=1", tape::DownloadOutcome::LinkError, kShownBadChecksum, 900, false, "0000"},
    {"error:cmd=241,every=10,code=0104", tape::DownloadOutcome::DeviceError, kShownFlashError, 900, true, "0104"},
    {"empty:cmd=241,every=10", tape::DownloadOutcome::BadData, kShownBadData, 900, true, "0000"},
    {"one-field:cmd=241,every=10", tape::DownloadOutcome::BadData, kShownBadData, 900, true, "0000"},
    // SYN storms and noise between frames cost nothing.
    {"syn-before:cmd=241,every=10,count=400", tape::DownloadOutcome::Success, kShownDone, 0, true, "0000"},
    {"garbage:cmd=241,every=10,count=64", tape::DownloadOutcome::Success, kShownDone, 0, true, "0000"},
    {"garbage:cmd=241,every=10,count=64,after=1", tape::DownloadOutcome::Success, kShownDone, 0, true, "0000"},
};

TEST(FaultDownloads, FaultOnEveryTenthReplyOverAPseudoTerminal) {
  for (const Area area : {Area::Tape, Area::Aux}) {
    for (const ReplyFault& f : kEveryTenth) {
      SCOPED_TRACE(std::string(NameOf(area)) + " " + f.rule_text);
      const BusyJournal journal = MakeBusyJournal();
      sim::Simulator printer(BusyPrinter());
      sim::PtyPrinter pty(printer);
      link::DeviceLink link;
      ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
      Wizard w(link);
      if (area == Area::Aux) {
      ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    }
      printer.AddFault(sim::ParseFaultRule(f.rule_text));

      const auto start = Clock::now();
      EXPECT_EQ(Read(w, area), f.outcome);
      EXPECT_LT(Clock::now() - start, 3s);
      DownloadStep& step = StepOf(w, area);
      EXPECT_EQ(step.messages.shown, Shown{f.shown});
      if (f.outcome == tape::DownloadOutcome::Success) {
        ExpectWhole(w, area, journal);
        continue;
      }
      EXPECT_TRUE(SameBytes(ImageOf(w, area), BytesOf(journal, area), f.kept));
      EXPECT_EQ(step.boxes.Result(), f.result);
      if (area == Area::Tape) {
        EXPECT_EQ(w.tape->TapeLength, 0);
      }

      printer.ClearFaults();
      EXPECT_EQ(Read(w, area), tape::DownloadOutcome::Success);
      ExpectWhole(w, area, journal);
    }
  }
}

// A reply of thirty fields "1;2;...;30;" reads as a count of 1 byte: by the
// printer's rule a count below 50 is the end of the data, so the download
// ends as a success with what it has, and the tape without its end marker
// keeps TapeLength as it was.
TEST(FaultDownloads, ThirtyFieldReplyReadsAsTheShortLastReply) {
  const BusyJournal journal = MakeBusyJournal();
  sim::Simulator printer(BusyPrinter());
  printer.AddFault(sim::ParseFaultRule("thirty-fields:cmd=241,every=10,limit=1"));
  sim::PtyPrinter pty(printer);
  link::DeviceLink link;
  ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
  Wizard w(link);

  EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
  EXPECT_EQ(w.step1.messages.shown, (Shown{kShownNoEndMarker, kShownDone}));
  EXPECT_TRUE(SameBytes(w.TapeBytes(900), journal.tape, 900));
  // 20 receipts of 43 bytes (860) and five records of the next, to 889;
  // the sixth runs past the 900 bytes that came.
  EXPECT_EQ(w.tape->TapeLength, 889);
  EXPECT_FALSE(w.tape->EndMarkerFound);
  EXPECT_EQ(w.last_response.Fields[0], "1");
}

// The waits that cost seconds, on the in-process channel's clock.
TEST(FaultDownloads, WaitingFaultsInProcess) {
  struct Case {
    const char* rule_text;
    tape::DownloadOutcome outcome;
    std::string shown;
    std::chrono::seconds at_least;  // channel time the download took
  };
  const Case cases[] = {
      // Half a frame and no end: fifty empty reads after the last byte.
      {"cut:cmd=241,every=10", tape::DownloadOutcome::Timeout, kShownTimeout, 5s},
      // A printer busy for 6.3 s, saying so every 90 ms: the wait holds.
      {"syn-before:cmd=241,every=10,count=70,gap=90", tape::DownloadOutcome::Success, kShownDone, 6s},
      // A late reply within the wait.
      {"delay:cmd=241,every=10,gap=4000", tape::DownloadOutcome::Success, kShownDone, 4s},
  };
  for (const Area area : {Area::Tape, Area::Aux}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(NameOf(area)) + " " + c.rule_text);
      const BusyJournal journal = MakeBusyJournal();
      sim::Simulator printer(BusyPrinter());
      InProcessLink line(printer);
      Wizard w(line.link);
      if (area == Area::Aux) {
      ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    }
      printer.AddFault(sim::ParseFaultRule(c.rule_text));

      const auto before = line.Now();
      EXPECT_EQ(Read(w, area), c.outcome);
      EXPECT_GE(line.Now() - before, c.at_least);
      EXPECT_EQ(StepOf(w, area).messages.shown, Shown{c.shown});
      if (c.outcome == tape::DownloadOutcome::Success) {
        ExpectWhole(w, area, journal);
        continue;
      }
      EXPECT_TRUE(SameBytes(ImageOf(w, area), BytesOf(journal, area), 900));
      printer.ClearFaults();
      EXPECT_EQ(Read(w, area), tape::DownloadOutcome::Success);
      ExpectWhole(w, area, journal);
    }
  }
}

// Frames meant for other requests never land in the image: the reply to
// chunk 7 repeated while chunk 8 is awaited, another SEQ, another command.
TEST(FaultDownloads, RepliesOfOtherRequestsNeverLandInTheImage) {
  const BusyJournal journal = MakeBusyJournal();
  for (Area area : {Area::Tape, Area::Aux}) {
    for (const char* rule_text : {"stale:cmd=241,every=8", "wrong-seq:cmd=241,every=3", "wrong-cmd:cmd=241,every=5",
                                  "stale:cmd=241"}) {
      SCOPED_TRACE(std::string(NameOf(area)) + " " + rule_text);
      sim::Simulator printer(BusyPrinter());
      InProcessLink line(printer);
      Wizard w(line.link);
      if (area == Area::Aux) {
        ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
      }
      printer.AddFault(sim::ParseFaultRule(rule_text));
      EXPECT_EQ(Read(w, area), tape::DownloadOutcome::Success);
      EXPECT_EQ(StepOf(w, area).messages.shown, Shown{kShownDone});
      ExpectWhole(w, area, journal);
    }
  }
}

// Noise that never falls silent and never makes a frame, 100 bytes a
// second for 20 s: the fifth chunk ends as no reply at the time-out.
TEST(FaultDownloads, EndlessNoiseEndsAsNoReplyAtTheTimeOut) {
  const BusyJournal journal = MakeBusyJournal();
  sim::Simulator printer(BusyPrinter());
  printer.AddFault(sim::ParseFaultRule("noise-stream:cmd=241,every=5,limit=1,count=2000,gap=10"));
  printer.AddFault(sim::ParseFaultRule("silence:cmd=241,every=5,limit=1"));
  InProcessLink line(printer);
  Wizard w(line.link);
  EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Timeout);
  EXPECT_EQ(w.step1.messages.shown, Shown{kShownTimeout});
  // Four chunks take well under a second at 9600 baud.
  EXPECT_GE(line.Now(), 5s);
  EXPECT_LT(line.Now(), 6500ms);
  EXPECT_TRUE(SameBytes(w.TapeBytes(400), journal.tape, 400));
}

// A printer that sends nothing but SYN for over a minute is given up on.
TEST(FaultDownloads, EndlessSynStormIsGivenUpAfterAMinute) {
  const BusyJournal journal = MakeBusyJournal();
  sim::Simulator printer(BusyPrinter());
  printer.AddFault(sim::ParseFaultRule("syn-before:cmd=241,every=10,limit=1,count=2000,gap=50"));
  InProcessLink line(printer);
  Wizard w(line.link);

  EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Timeout);
  EXPECT_EQ(w.step1.messages.shown, Shown{kShownTimeout});
  EXPECT_GE(line.Now(), 60s);
  EXPECT_LT(line.Now(), 62s);
  EXPECT_TRUE(SameBytes(w.TapeBytes(900), journal.tape, 900));
  EXPECT_EQ(w.step1.counters.texts[tape::kTapeTotalBox], "125");  // 20 receipts (860), five records to 889

  // The storm's tail and its late reply are still on the line; a new
  // connection starts clean, and the download succeeds.
  line.link.CloseLink();
  ASSERT_GE(line.link.OpenLink("/dev/ttyS0", 9600), 0);
  EXPECT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
  ExpectWhole(w, Area::Tape, journal);
}

}  // namespace
}  // namespace fjl::e2e
