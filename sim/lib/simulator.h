#pragma once
// The simulated printer: consumes the host's bytes, answers each request
// frame, and applies the faults it was asked for. Transport-free; see
// in_process_channel.h and pty_printer.h for the two ways to reach it.
// Thread-safe: a test may add faults while a server thread feeds it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "sim/lib/emission.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/frames.h"
#include "sim/lib/printer_commands.h"
#include "sim/lib/printer_model.h"

namespace fjl::sim {

// An answer given in place of the model's own, for a request with exactly
// this command and data text: a printer replayed from the answers it once
// gave. Each is given once, in order; the last one again after that.
struct ScriptedAnswer {
  std::uint8_t command = 0;
  std::string data;
  // BadChecksum: the reply with its checksum broken, as a live read that
  // failed its check was recorded.
  enum class Kind { Reply, Silence, Nak, BadChecksum } kind = Kind::Reply;
  std::string error_code = "0000";
  std::string reply_data;  // the data part, as sent
  std::array<std::uint8_t, 6> status = kStatusFine;
};

struct SimulatorOptions {
  std::size_t chunk_size = kMaxFlashChunk;  // flash bytes per reply, 1..100
  bool nak_bad_frames = true;  // answer a corrupt request with NAK (else ignore it)
  std::vector<FaultRule> faults;
  std::vector<ScriptedAnswer> scripted;
  // A printer replayed from a dump knows only what the dump holds: a request
  // with no scripted answer meets silence, but for flash reads (from the
  // images) and the serial number read (when the model has one).
  bool scripted_only = false;
};

class Simulator {
 public:
  explicit Simulator(PrinterModel model, SimulatorOptions options = {});

  // Feeds bytes from the host; one Answer per frame that ended in them
  // (a good request, or a corrupt one when corrupt frames are NAKed).
  std::vector<Answer> Receive(std::span<const std::uint8_t> bytes);

  // The answer to one well-formed request, faults applied.
  Answer AnswerRequest(const Request& request, std::size_t frame_length);

  void AddFault(FaultRule rule);
  void ClearFaults();
  void SetChunkSize(std::size_t chunk);  // clamped to 1..kMaxFlashChunk
  std::size_t ChunkSize() const;

  // Well-formed requests seen, oldest first (the latest 4096 are kept).
  std::vector<Request> Requests() const;
  std::size_t BadFrames() const;
  PrinterModel Model() const;

 private:
  Answer AnswerLocked(const Request& request, std::size_t frame_length);
  const ScriptedAnswer* TakeScripted(const Request& request);
  Reply MakeReply(const Request& request, const std::vector<const FaultRule*>& firing,
                  const ScriptedAnswer* scripted) const;

  mutable std::mutex mutex_;
  PrinterModel model_;
  SimulatorOptions options_;
  RequestParser parser_;
  std::deque<Request> requests_;
  std::size_t bad_frames_ = 0;
  Bytes last_reply_frame_;  // for replaying it late (the stale fault)
  std::vector<bool> scripted_given_;
};

}  // namespace fjl::sim
