#include "cli/restore_session.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_views.h"
#include "cli/dump_recorder.h"
#include "cli/output_checks.h"
#include "cli/printer_search.h"
#include "cli/run_report.h"
#include "dump/dump_folder.h"
#include "dump/recorded_printer.h"
#include "link/read_commands.h"
#include "output/save_text_file.h"
#include "restore/restore_tape.h"
#include "tape/aux_download.h"
#include "tape/tape_download.h"
#include "text/cp1251.h"

namespace fjl::cli {
namespace {

constexpr std::string_view kMsgCannotConnect = "Невозможно подключить порт";

// Everything the three windows keep for the later steps.
struct Session {
  tape::TapeData tape;
  tape::AuxImage aux;
  link::DeviceResponse last_response;
};

// The checks of every file the run will write; the first failure, or empty.
std::string CheckFiles(const RestoreOptions& options) {
  // First, while nothing has been made: the log check creates the log.
  const std::optional<std::string>& dump_folder = options.dump ? options.dump : options.resume;
  if (std::string why = CheckFilesApart(options.output, options.log, dump_folder); !why.empty()) return why;
  if (std::string why = CheckOutputFile(options.output); !why.empty()) return why;
  if (options.log) {
    if (std::string why = CheckLogFile(*options.log); !why.empty()) return why;
  }
  if (options.dump) {
    if (std::string why = PrepareDumpFolder(*options.dump); !why.empty()) return why;
  }
  return {};
}

// The port and speed to use: as given, or found by asking each in turn.
std::optional<FoundPrinter> ChoosePort(const RestoreOptions& options, std::int32_t speed,
                                       std::string_view password, link::DeviceLink& link, Console& console,
                                       const StopSignal* stop) {
  if (!options.PortAuto() && !options.speed_auto) return FoundPrinter{options.port, speed, ""};
  PortsToAsk ports = PortsToTry(options);
  const std::vector<std::int32_t> speeds = SpeedsToTry(options, speed);
  SearchResult search = FindPrinter(link, ports.ports, speeds, password, [&](const std::string& port, std::int32_t s) {
    if (options.verbose) console.Note("looking for the printer on " + port + " at " + std::to_string(s) + " baud");
  }, stop);
  ports.passed_over.insert(ports.passed_over.end(), search.passed_over.begin(), search.passed_over.end());
  if (!ports.passed_over.empty()) console.Note(PassedOverText(ports.passed_over));
  if (search.found) {
    console.Note("printer found: " + FoundPrinterText(*search.found));
  } else if (!StopRequested(stop)) {
    console.ShowError(NothingAnsweredText(search.ports_asked, speeds.size()));
  }
  return search.found;
}

// One area's download, kept in the dump as it arrives when there is one.
// `kept`: bytes of the image an earlier run kept, to go on after.
// A dump that cannot be written does not stop the run (the tape can still
// be restored and saved); its first failure is shown once.
template <typename Download>
tape::DownloadOutcome RunArea(DumpRecorder* recorder, dump::DumpArea area, const tape::FlashImage& image,
                              std::int64_t kept, DownloadConsoleView& view, Download download) {
  const bool failed_before = recorder && !recorder->Error().empty();
  tape::DownloadView& shown = recorder ? recorder->BeginArea(area, image, kept, view) : view;
  const tape::DownloadOutcome outcome = download(shown);
  if (recorder) {
    recorder->EndArea(tape::Succeeded(outcome));
    if (!failed_before && !recorder->Error().empty()) view.ShowError("dump not written: " + recorder->Error());
  }
  return outcome;
}

// Where a resumed area goes on: after its stored bytes, less the last chunk,
// which is read again to be checked rather than trusted.
std::int64_t ResumePoint(const dump::AreaProgress& progress) {
  return progress.complete ? progress.stored : progress.stored - progress.last_chunk;
}

// The resumed dump's bytes of one area, loaded into its image; false with
// the reason shown when its file does not hold what the state says.
bool LoadArea(const std::string& folder, const char* name, const dump::AreaProgress& progress,
              tape::FlashImage& image, Console& console) {
  std::string error;
  std::int64_t bytes = 0;
  if (progress.stored == 0) return true;
  if (!dump::LoadImage(std::filesystem::path(folder) / name, image, bytes, error) || bytes < progress.stored) {
    console.ShowError(error.empty() ? folder + "/" + name + " holds fewer bytes than its state file says" : error);
    return false;
  }
  return true;
}

// After a resumed area: whether the chunk read again matches the one kept.
void CheckReadAgain(const std::vector<std::uint8_t>& kept, const tape::FlashImage& image, std::int64_t from,
                    const char* name, Console& console) {
  if (kept.empty()) return;
  const auto now = image.Bytes().subspan(static_cast<std::size_t>(from), kept.size());
  if (!std::equal(kept.begin(), kept.end(), now.begin())) {
    console.Note(std::string("the last chunk of ") + name +
                 " before the interruption differs from what the printer sends now; its bytes are kept");
  }
}

std::vector<std::uint8_t> LastChunk(const tape::FlashImage& image, const dump::AreaProgress& progress) {
  if (progress.complete || progress.last_chunk == 0) return {};
  const auto bytes = image.Bytes().subspan(static_cast<std::size_t>(progress.stored - progress.last_chunk),
                                           static_cast<std::size_t>(progress.last_chunk));
  return {bytes.begin(), bytes.end()};
}

// The closing line of a run a stop request ended, and its status.
ExitStatus Stopped(const RunStop& stop, const RestoreOptions& options, Console& console) {
  console.EndProgress();
  console.ShowError("Остановлено (" + std::string(stop.StoppedBy()) + "): " + options.output + " не записан.");
  return stop.StoppedStatus();
}

// The restoration and the save, shared by the live and the offline run.
// `more_gaps` adds what else the file may lack, once the run is over.
ExitStatus RestoreAndSave(const RestoreOptions& options, link::Exchanger& printer, const std::string& password,
                          Session& session, Console& console, const RunStop* stop,
                          const std::function<std::vector<std::string>()>& more_gaps = {}) {
  // The step 3 box starts with one empty line, and the restoration appends below it.
  restore::LineSink text;
  restore::RestorationState state;
  RestoreConsoleView restore_view(console, state);
  const restore::RestoreInputs inputs{printer, password, session.tape, session.aux,
                                      [&session](const link::DeviceResponse& reply) { session.last_response = reply; },
                                      stop};
  const restore::RestoreOutcome outcome = restore::RestoreTape(inputs, state, text, restore_view, console);
  console.EndProgress();
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  if (outcome != restore::RestoreOutcome::Completed) return kExitStepFailed;

  // Once the file has its name the run is done, and a later signal changes nothing.
  const output::SaveResult saved = output::SaveTextFile(options.output, text.Lines(), stop);
  if (saved.stopped) return Stopped(*stop, options, console);
  if (!saved) {
    console.ShowError(options.output + ": " + saved.error);
    return kExitStepFailed;
  }
  std::vector<std::string> gaps = IncompleteReasons(session.tape, state);
  if (more_gaps) {
    for (std::string& gap : more_gaps()) gaps.push_back(std::move(gap));
  }
  if (!gaps.empty()) {
    console.Note(IncompleteReport(gaps));
    return kExitIncomplete;
  }
  return kExitRestored;
}

// --from-dump: the images and the recorded answers of a dump folder take
// the printer's place.
ExitStatus RestoreFromDump(const RestoreOptions& options, const std::string& password, Console& console,
                           const RunStop* stop) {
  const std::string& folder = *options.from_dump;
  std::string error;
  const std::optional<dump::DumpState> state = dump::LoadState(folder, error);
  const auto answers = state ? dump::LoadAnswers(folder, error) : std::nullopt;
  if (!state || !answers) {
    console.ShowError(error);
    return kExitUsage;
  }
  const auto session = std::make_unique<Session>();
  if (!LoadArea(folder, dump::kTapeFileName, state->tape, session->tape.Image, console) ||
      !LoadArea(folder, dump::kAuxFileName, state->aux, session->aux, console)) {
    return kExitUsage;
  }
  tape::FrameStoredTape(session->tape, state->tape.stored);
  dump::RecordedPrinter printer(std::move(*answers));
  return RestoreAndSave(options, printer, password, *session, console, stop, [&] {
    std::vector<std::string> gaps;
    if (!state->tape.complete) gaps.emplace_back("the dump's tape download was not finished");
    if (!state->aux.complete) gaps.emplace_back("the dump's auxiliary download was not finished");
    if (printer.Misses() > 0) gaps.push_back(std::to_string(printer.Misses()) + " read(s) had no recorded answer");
    return gaps;
  });
}

}  // namespace

ExitStatus RunRestoreSession(const RestoreOptions& options, link::DeviceLink& link, Console& console,
                             const RunStop* stop) {
  const std::optional<std::string> password = PasswordBytes(options.password);
  if (!password) {
    console.ShowError("--password holds a character that Windows-1251 cannot carry");
    return kExitUsage;
  }
  if (std::string why = CheckFiles(options); !why.empty()) {
    console.ShowError(why);
    return kExitUsage;
  }
  if (options.from_dump) return RestoreFromDump(options, *password, console, stop);

  std::optional<dump::DumpState> resumed;
  std::int32_t speed = options.speed;
  if (options.resume) {
    std::string error;
    resumed = dump::LoadState(*options.resume, error);
    if (!resumed) {
      console.ShowError(error);
      return kExitUsage;
    }
    if (!options.speed_given) speed = resumed->speed;
  }
  const std::optional<FoundPrinter> chosen = ChoosePort(options, speed, *password, link, console, stop);
  if (!chosen) return StopRequested(stop) ? Stopped(*stop, options, console) : kExitStepFailed;

  // Before the port opens, so the log shows the opening too.
  if (options.log) {
    link.SetSessionLogName(*options.log);
    link.SetLogFailureHandler([&console, log = *options.log](const link::SystemResult& why) {
      console.ShowError(LogIncompleteText(log, why.Code()));
    });
  }
  if (link.OpenLink(chosen->port, chosen->speed) == -1) {
    console.ShowMessage(kMsgCannotConnect);
    console.Note(PortOpenReason(link.OpenError()));
    return kExitStepFailed;
  }
  struct CloseAtEnd {
    link::DeviceLink& link;
    ~CloseAtEnd() { link.CloseLink(); }
  } close_at_end{link};

  // Some 4 MB of images: kept off the stack.
  const auto session = std::make_unique<Session>();
  std::unique_ptr<DumpRecorder> recorder;
  std::vector<std::uint8_t> tape_chunk;
  std::vector<std::uint8_t> aux_chunk;
  if (options.dump || options.resume) {
    // The printer's serial number ties the dump to it: a resume must go on
    // with the same printer.
    const link::DeviceResponse& serial_reply = link::GetSerialNumber(link, *password);
    const std::string serial = serial_reply.ErrorCode == "0000" ? text::Cp1251ToUtf8(serial_reply.Field(0)) : "";
    dump::DumpState state{serial, chosen->speed, dump::DumpArea::Tape, {}, {}};
    if (resumed) {
      if (serial != resumed->serial) {
        console.ShowError("the dump in " + *options.resume + " was taken from the printer with serial number " +
                          resumed->serial + ", but the printer on " + chosen->port + " " +
                          (serial.empty() ? std::string("did not give its serial number") : "has " + serial) +
                          ": nothing was read");
        return kExitStepFailed;
      }
      if (!LoadArea(*options.resume, dump::kTapeFileName, resumed->tape, session->tape.Image, console) ||
          !LoadArea(*options.resume, dump::kAuxFileName, resumed->aux, session->aux, console)) {
        return kExitUsage;
      }
      tape_chunk = LastChunk(session->tape.Image, resumed->tape);
      aux_chunk = LastChunk(session->aux, resumed->aux);
      state = *resumed;
      state.speed = chosen->speed;
    }
    recorder = std::make_unique<DumpRecorder>(options.dump ? *options.dump : *options.resume, state);
  }
  const std::int64_t tape_from = resumed ? ResumePoint(resumed->tape) : 0;
  // An auxiliary area begun before the tape was finished is read afresh.
  const std::int64_t aux_from = resumed && resumed->tape.complete ? ResumePoint(resumed->aux) : 0;

  DownloadConsoleView tape_view(console, "Контрольная лента", tape::kTapeCounterBoxes, options.verbose);
  const tape::DownloadOutcome tape_outcome =
      RunArea(recorder.get(), dump::DumpArea::Tape, session->tape.Image, tape_from, tape_view, [&](tape::DownloadView& view) {
        return tape::TapeDownload(*password, session->tape,
                                  {link, session->last_response, view, tape_view, tape_view, stop}, tape_from);
      });
  console.EndProgress();
  // A stop wins over a step's failure: the user asked for it, whatever else happened.
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  CheckReadAgain(tape_chunk, session->tape.Image, tape_from, "the tape", console);
  // A request the port refused is said as such: it is no silent printer.
  const auto step_failed = [&link, &console] {
    if (const link::SystemResult& refused = link.SendFailure(); !refused.Ok()) {
      console.Note("Причина: порт не принял запрос: " + refused.Text() + ".");
    }
    return kExitStepFailed;
  };
  if (!tape::Succeeded(tape_outcome)) return step_failed();

  DownloadConsoleView aux_view(console, "Вспомогательные параметры", tape::kAuxCounterBoxes, options.verbose);
  const tape::DownloadOutcome aux_outcome =
      RunArea(recorder.get(), dump::DumpArea::Aux, session->aux, aux_from, aux_view, [&](tape::DownloadView& view) {
        return tape::AuxDownload(*password, session->aux,
                                 {link, session->last_response, view, aux_view, aux_view, stop}, aux_from);
      });
  console.EndProgress();
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  if (aux_from > 0) CheckReadAgain(aux_chunk, session->aux, aux_from, "the auxiliary data", console);
  if (!tape::Succeeded(aux_outcome)) return step_failed();

  const bool failed_before = recorder && !recorder->Error().empty();
  link::Exchanger& printer = recorder ? recorder->Recording(link) : static_cast<link::Exchanger&>(link);
  const ExitStatus status = RestoreAndSave(options, printer, *password, *session, console, stop);
  if (recorder && !failed_before && !recorder->Error().empty()) {
    console.ShowError("dump not written: " + recorder->Error());
  }
  return status;
}

}  // namespace fjl::cli
