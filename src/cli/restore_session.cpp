#include "cli/restore_session.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_views.h"
#include "cli/output_checks.h"
#include "cli/printer_search.h"
#include "cli/run_report.h"
#include "dump/dump_folder.h"
#include "dump/dump_recorder.h"
#include "dump/kept_downloads.h"
#include "dump/recorded_printer.h"
#include "dump/resume_proof.h"
#include "fjl_version.h"
#include "link/read_commands.h"
#include "output/save_text_file.h"
#include "platform/file_lock.h"
#include "restore/restore_tape.h"
#include "tape/aux_download.h"
#include "tape/download_address.h"
#include "tape/tape_download.h"
#include "tapecheck/check_report.h"
#include "tapedata/tape_csv.h"
#include "tapedata/tape_json.h"
#include "text/cp1251.h"

namespace fjl::cli {
namespace {

constexpr std::string_view kMsgCannotConnect = "Невозможно подключить порт";

using platform::Result;
using platform::SystemResult;

// Everything the three windows keep for the later steps.
struct Session {
  tape::TapeData tape;
  tape::AuxImage aux;
  link::DeviceResponse last_response;
};

// `name` inside `folder`, with the separator both systems take.
std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += name;
  return path;
}

// The files the exports and the report write, with the options naming them.
std::vector<NamedFile> DataFiles(const RestoreOptions& options) {
  std::vector<NamedFile> files;
  if (options.export_json) files.push_back({"--export json", *options.export_json});
  if (options.export_csv) {
    for (const std::string_view name : {tapedata::kCsvDocumentsFile, tapedata::kCsvItemsFile,
                                        tapedata::kCsvPaymentsFile}) {
      files.push_back({"--export csv", InFolder(*options.export_csv, name)});
    }
  }
  if (options.report) files.push_back({"--report", *options.report});
  return files;
}

// The checks of every file the run will write; the first failure.
SystemResult CheckFiles(const RestoreOptions& options, const Catalogue& texts) {
  // First, while nothing has been made: the log check creates the log.
  // --resume auto's folder is known once the printer has said its serial number.
  const std::optional<std::string> resume = options.ResumeFolder();
  const std::optional<std::string> dump_folder = options.dump ? options.dump : resume ? resume : options.from_dump;
  const std::string dump_option = options.dump ? "--dump" : resume ? "--resume" : "--from-dump";
  const std::vector<NamedFile> data_files = DataFiles(options);
  if (SystemResult why = CheckFilesApart(options.output, options.log, dump_folder, dump_option, data_files, texts);
      !why) {
    return why;
  }
  if (!options.output.empty()) {
    if (SystemResult why = CheckOutputFile(options.output); !why) return why;
  }
  if (options.export_csv) {
    if (SystemResult why = PrepareExportFolder(*options.export_csv); !why) return why;
  }
  for (const NamedFile& file : data_files) {
    if (SystemResult why = CheckOutputFile(file.path); !why) return why;
  }
  if (options.log) {
    if (SystemResult why = CheckLogFile(*options.log); !why) return why;
  }
  if (options.dump) {
    if (SystemResult why = PrepareDumpFolder(*options.dump); !why) return why;
  }
  if (resume) {
    if (SystemResult why = CheckFolderTakesFiles(*resume); !why) return why;
  }
  return {};
}

// The dump folder is this run's alone while it writes there; a --dump goes
// only into a folder that holds no dump yet (checked under the lock, so two
// runs started together cannot both pass).
SystemResult LockDumpFolder(const std::string& folder, bool fresh, platform::FileLock& lock, const Catalogue& texts) {
  const std::filesystem::path path = std::filesystem::path(folder) / dump::kLockFileName;
  if (const SystemResult locked = lock.Acquire(path.string()); !locked) {
    if (lock.Busy()) return SystemResult::Program(texts.Text("dump.busy", {{"folder", folder}}));
    return locked.About(path.string());
  }
  if (fresh && dump::HoldsDump(folder)) {
    return SystemResult::Program(texts.Text("dump.holds_dump", {{"folder", folder}}));
  }
  return {};
}

// The port and speed to use: as given, or found by asking each in turn.
std::optional<FoundPrinter> ChoosePort(const RestoreOptions& options, std::span<const std::int32_t> speeds,
                                       std::string_view password, link::DeviceLink& link, Console& console,
                                       const StopSignal* stop) {
  if (!options.PortAuto() && speeds.size() == 1) return FoundPrinter{options.port, speeds.front(), ""};
  PortsToAsk ports = PortsToTry(options);
  SearchResult search = FindPrinter(link, ports.ports, speeds, password, [&](const std::string& port, std::int32_t s) {
    if (options.verbose) {
      console.Note(console.Texts().Text("search.looking", {{"port", port}, {"speed", std::to_string(s)}}));
    }
  }, stop);
  ports.passed_over.insert(ports.passed_over.end(), search.passed_over.begin(), search.passed_over.end());
  if (!ports.passed_over.empty()) console.Note(PassedOverText(ports.passed_over, console.Texts()));
  if (search.found) {
    console.Note(console.Texts().Text("search.found", {{"printer", FoundPrinterText(*search.found, console.Texts())}}));
  } else if (!StopRequested(stop)) {
    console.ShowError(NothingAnsweredText(search.ports_asked, speeds.size(), console.Texts()));
  }
  return search.found;
}

// A kept download's state and both images, loaded into the session; a
// failure when the folder holds no whole dump.
Result<dump::DumpState> LoadKept(const std::string& folder, Session& session) {
  Result<dump::DumpState> kept = dump::LoadState(folder);
  if (!kept) return kept;
  if (SystemResult loaded =
          dump::LoadImage(folder, dump::DumpArea::Tape, kept->tape, session.tape.Image.MutableBytes());
      !loaded) {
    return loaded;
  }
  if (SystemResult loaded = dump::LoadImage(folder, dump::DumpArea::Aux, kept->aux, session.aux.MutableBytes());
      !loaded) {
    return loaded;
  }
  return kept;
}

// The speeds to open the port at: --speed's, or for --resume auto without
// it those the kept downloads were read at (the printer whose download goes
// on is most likely at one of them), the default when none is kept.
std::vector<std::int32_t> SpeedsFor(const RestoreOptions& options, std::int32_t speed,
                                    const std::filesystem::path& kept_root) {
  if (options.ResumeAuto() && !options.speed_given) {
    std::vector<std::int32_t> kept = dump::KeptSpeeds(kept_root);
    if (!kept.empty()) return kept;
  }
  return SpeedsToTry(options, speed);
}

// A run without --dump keeps its download in the printer's own folder of
// the user's kept downloads, begun afresh (the same folder the wizard goes
// on from). Why it cannot; the run goes on without keeping then.
SystemResult KeepInUserFolder(const RestoreOptions& options, const std::filesystem::path& root,
                              const std::filesystem::path& folder, platform::FileLock& lock, const Catalogue& texts) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return SystemResult::FromErrorCode(ec).About(folder.string());
  if (SystemResult why = CheckFolderTakesFiles(folder.string()); !why) return why;
  if (SystemResult why = CheckFilesApart(options.output, options.log, folder.string(),
                                         texts.Text("files.kept_download"), DataFiles(options), texts);
      !why) {
    return why;
  }
  if (const SystemResult locked = lock.Acquire((folder / dump::kLockFileName).string()); !locked) {
    if (lock.Busy()) return SystemResult::Program(texts.Text("kept.busy", {{"folder", folder.string()}}));
    return locked.About((folder / dump::kLockFileName).string());
  }
  if (SystemResult cleared = dump::ClearDump(folder); !cleared) return cleared;
  dump::PruneKeptDownloads(root, folder);
  return {};
}

// --resume auto: the printer's folder among the kept downloads, checked as
// a --resume DIR is before the port opens, and loaded. Why not.
SystemResult FindKeptDownload(const RestoreOptions& options, const std::filesystem::path& folder,
                              const std::string& serial, const std::string& port, Session& session,
                              platform::FileLock& lock, std::optional<dump::DumpState>& kept, const Catalogue& texts) {
  std::error_code ec;
  if (!std::filesystem::exists(folder / dump::kStateFileName, ec)) {
    return SystemResult::Program(texts.Text(serial.empty() ? "kept.none_no_serial" : "kept.none",
                                            {{"serial", serial}, {"port", port}, {"folder", folder.string()}}));
  }
  const std::string name = folder.string();
  if (SystemResult why = CheckFilesApart(options.output, options.log, name, "--resume auto", DataFiles(options), texts);
      !why) {
    return why;
  }
  if (SystemResult why = CheckFolderTakesFiles(name); !why) return why;
  if (SystemResult why = LockDumpFolder(name, false, lock, texts); !why) return why;
  Result<dump::DumpState> loaded = LoadKept(name, session);
  if (!loaded) return loaded.Failure();
  kept = std::move(*loaded);
  return {};
}

// One area's download, kept in the dump as it arrives when there is one.
// `kept`: bytes of the image an earlier run kept, to go on after.
// A dump that cannot be written does not stop the run (the tape can still
// be restored and saved); its first failure is shown once.
template <typename Download>
tape::DownloadOutcome RunArea(dump::DumpRecorder* recorder, dump::DumpArea area, const tape::FlashImage& image,
                              std::int64_t kept, DownloadConsoleView& view, Download download) {
  const bool failed_before = recorder && !recorder->Failure().Ok();
  tape::DownloadView& shown = recorder ? recorder->BeginArea(area, image, kept, view) : view;
  const tape::DownloadOutcome outcome = download(shown);
  if (recorder) {
    recorder->EndArea(tape::Succeeded(outcome));
    if (!failed_before && !recorder->Failure().Ok()) {
      view.ShowError(view.Texts().Text("dump.not_written", {{"why", recorder->Failure().UserMessage()}}));
    }
  }
  return outcome;
}

// The reason a kept download may not go on, or empty.
std::string RefusalText(const dump::ResumeProof& proof, const std::string& folder, const dump::DumpState& state,
                        const std::string& serial, const std::string& port, const Catalogue& texts) {
  using Outcome = dump::ResumeProof::Outcome;
  const std::string what = texts.Text(proof.area == dump::DumpArea::Aux ? "resume.area.aux" : "resume.area.tape");
  const std::string address = tape::FlashAddressText(proof.address);
  switch (proof.outcome) {
    case Outcome::Proven:
      return {};
    case Outcome::OtherPrinter:
      return texts.Text("resume.other_printer",
                        {{"folder", folder}, {"dump_serial", state.serial}, {"port", port}, {"serial", serial}});
    case Outcome::NoAnswer:
      return texts.Text("resume.no_answer",
                        {{"folder", folder}, {"area", what}, {"address", address}, {"why", proof.reason}});
    case Outcome::Changed:
      break;
  }
  return texts.Text("resume.changed", {{"area", what}, {"folder", folder}, {"address", address}});
}

// Which area a download read and how much: the download's own message does
// not say, and both areas end with the same words.
void NoteDownloaded(const DownloadConsoleView& view, Console& console) {
  console.Note(console.Texts().Text("summary.downloaded", {{"area", view.Title()},
                                                          {"bytes", std::to_string(view.BytesStored())},
                                                          {"records", view.TotalText()}}));
}

// The closing line of a run a stop request ended, and its status.
ExitStatus Stopped(const RunStop& stop, const RestoreOptions& options, Console& console) {
  console.EndProgress();
  console.ShowError(
      console.Texts().Text("stop.not_written", {{"by", StopName(stop, console.Texts())}, {"file", options.output}}));
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
  RestoreConsoleView restore_view(console, session.tape.Image.Bytes());
  // When the tape was read, as the exports give it.
  const std::string read_time = tapedata::LocalReadTime();
  // The model is built on every run: the integrity check reads it.
  tapedata::TapeModelBuilder model(static_cast<std::int64_t>(session.tape.Image.Size()));
  const restore::RestoreInputs inputs{printer,
                                      password,
                                      session.tape,
                                      session.aux,
                                      [&session](const link::DeviceResponse& reply) { session.last_response = reply; },
                                      stop,
                                      restore::kRestoredTextBudget,
                                      &model};
  const restore::RestoreOutcome outcome = restore::RestoreTape(inputs, state, text, restore_view, console);
  console.EndProgress();
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  if (outcome != restore::RestoreOutcome::Completed) return kExitStepFailed;

  // Once the file has its name the run is done, and a later signal changes nothing.
  if (!options.output.empty()) {
    // Converted once: the bytes saved are also the size the closing line gives.
    const std::string bytes = output::FjlFileBytes(text.Lines());
    const SystemResult saved = output::SaveFileBytes(options.output, bytes, stop);
    if (stop != nullptr && saved.Kind() == platform::ErrorKind::Cancelled) return Stopped(*stop, options, console);
    if (!saved) {
      console.ShowError(saved.UserMessage());
      return kExitStepFailed;
    }
    console.Note(console.Texts().Text("summary.written", {{"file", options.output},
                                                          {"lines", std::to_string(text.Lines().size())},
                                                          {"bytes", std::to_string(bytes.size())},
                                                          {"records", std::to_string(restore_view.Records())}}));
  }
  // The FJL file is written by now: a late stop no longer undoes the run.
  // Each data file is tried whatever became of the one before.
  bool all_written = true;
  const auto written = [&console, &all_written](const SystemResult& saved) {
    if (!saved) console.ShowError(saved.UserMessage());
    all_written = all_written && saved;
    return saved.Ok();
  };
  const auto write = [&written](const std::string& path, std::string_view bytes) {
    return written(output::SaveFileBytes(path, bytes));
  };
  if (options.export_json) {
    // Saved as it is written: a full tape's JSON is some 5 MB.
    written(output::SaveFileWritten(*options.export_json, [&](const output::PartWriter& part) {
      tapedata::WriteTapeJson(model.Model(), {kVersion, read_time}, part);
    }));
  }
  if (options.export_csv) {
    const tapedata::TapeCsv csv = tapedata::TapeCsvTables(model.Model());
    write(InFolder(*options.export_csv, tapedata::kCsvDocumentsFile), csv.documents);
    write(InFolder(*options.export_csv, tapedata::kCsvItemsFile), csv.items);
    write(InFolder(*options.export_csv, tapedata::kCsvPaymentsFile), csv.payments);
  }
  // A finding is for the engineer to read: it never changes the exit status.
  const tapecheck::TapeCheck check = tapecheck::CheckTape(model.Model());
  bool report_written = false;
  if (options.report) {
    report_written = write(*options.report, tapecheck::ReportFileBytes(check, *options.report));
  }
  console.Note(tapecheck::SummaryLine(check, report_written ? *options.report : std::string()));
  if (!all_written) return kExitStepFailed;

  std::vector<std::string> gaps = IncompleteReasons(session.tape, state, console.Texts());
  if (more_gaps) {
    for (std::string& gap : more_gaps()) gaps.push_back(std::move(gap));
  }
  if (!gaps.empty()) {
    console.Note(IncompleteReport(gaps, console.Texts()));
    return kExitIncomplete;
  }
  return kExitRestored;
}

// --from-dump: the images and the recorded answers of a dump folder take
// the printer's place.
ExitStatus RestoreFromDump(const RestoreOptions& options, const std::string& password, Console& console,
                           const RunStop* stop) {
  const auto session = std::make_unique<Session>();
  Result<dump::StoredDump> stored =
      dump::LoadDump(*options.from_dump, session->tape.Image.MutableBytes(), session->aux.MutableBytes());
  if (!stored) {
    console.ShowError(stored.Failure().UserMessage());
    return kExitUsage;
  }
  const dump::DumpState* state = &stored->state;
  tape::FrameStoredTape(session->tape, state->tape.stored);
  dump::RecordedPrinter printer(std::move(stored->answers));
  const Catalogue& texts = console.Texts();
  return RestoreAndSave(options, printer, password, *session, console, stop, [&] {
    std::vector<std::string> gaps;
    if (!state->tape.complete) gaps.push_back(texts.Text("incomplete.dump_tape"));
    if (!state->aux.complete) gaps.push_back(texts.Text("incomplete.dump_aux"));
    if (printer.Misses() > 0) {
      gaps.push_back(texts.Text("incomplete.no_answer", {{"count", std::to_string(printer.Misses())}}));
    }
    return gaps;
  });
}

// Both downloads from where `from` says (kept in `recorder`'s folder when
// there is one), then the restoration and the save.
ExitStatus DownloadRestoreAndSave(const RestoreOptions& options, const std::string& password,
                                  link::DeviceLink& link, Session& session, const dump::ResumePoints& from,
                                  dump::DumpRecorder* recorder, Console& console, const RunStop* stop) {
  const Catalogue& texts = console.Texts();
  DownloadConsoleView tape_view(console, texts.Text("area.tape"), tape::kTapeCounterBoxes, options.verbose, from.tape);
  const tape::DownloadOutcome tape_outcome =
      RunArea(recorder, dump::DumpArea::Tape, session.tape.Image, from.tape, tape_view, [&](tape::DownloadView& view) {
        return tape::TapeDownload(password, session.tape,
                                  {link, session.last_response, view, tape_view, tape_view, stop}, from.tape);
      });
  tape_view.DrawIfBehind();
  console.EndProgress();
  // A stop wins over a step's failure: the user asked for it, whatever else happened.
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  // A request the port refused is said as such: it is no silent printer.
  const auto step_failed = [&link, &console] {
    if (const platform::SystemResult& refused = link.SendFailure(); !refused.Ok()) {
      console.Note(console.Texts().Text("reason.request_refused", {{"why", refused.Text()}}));
    }
    return kExitStepFailed;
  };
  if (!tape::Succeeded(tape_outcome)) return step_failed();
  NoteDownloaded(tape_view, console);

  DownloadConsoleView aux_view(console, texts.Text("area.aux"), tape::kAuxCounterBoxes, options.verbose, from.aux);
  const tape::DownloadOutcome aux_outcome =
      RunArea(recorder, dump::DumpArea::Aux, session.aux, from.aux, aux_view, [&](tape::DownloadView& view) {
        return tape::AuxDownload(password, session.aux,
                                 {link, session.last_response, view, aux_view, aux_view, stop}, from.aux);
      });
  aux_view.DrawIfBehind();
  console.EndProgress();
  if (StopRequested(stop)) return Stopped(*stop, options, console);
  if (!tape::Succeeded(aux_outcome)) return step_failed();
  NoteDownloaded(aux_view, console);

  const bool failed_before = recorder && !recorder->Failure().Ok();
  link::Exchanger& printer = recorder ? recorder->Recording(link) : static_cast<link::Exchanger&>(link);
  const ExitStatus status = RestoreAndSave(options, printer, password, session, console, stop);
  if (recorder && !failed_before && !recorder->Failure().Ok()) {
    console.ShowError(texts.Text("dump.not_written", {{"why", recorder->Failure().UserMessage()}}));
  }
  return status;
}

// A step of a run answers the status that ends the run, or nothing to let
// it go on.
using Ending = std::optional<ExitStatus>;

// What a run takes from, and writes to, its dump folder.
struct DumpPlan {
  std::optional<std::string> resume_folder;  // --resume FOLDER, or the kept download --resume auto found
  std::optional<dump::DumpState> resumed;
  std::int32_t speed = 0;
  platform::FileLock lock;  // held for as long as the run writes its dump folder
  std::string folder;       // where the download goes, empty for nowhere
  std::unique_ptr<dump::DumpRecorder> recorder;
  dump::ResumePoints from;
};

// A resumed dump is loaded and proven whole before the printer is asked
// anything; the folder written is locked against a second run.
Ending LoadResumed(const RestoreOptions& options, Session& session, DumpPlan& plan, Console& console) {
  plan.resume_folder = options.ResumeFolder();
  plan.speed = options.speed;
  if (plan.resume_folder) {
    Result<dump::DumpState> loaded = LoadKept(*plan.resume_folder, session);
    if (!loaded) {
      console.ShowError(loaded.Failure().UserMessage());
      return kExitUsage;
    }
    plan.resumed = std::move(*loaded);
    if (!options.speed_given) plan.speed = plan.resumed->speed;
  }
  if (options.dump || plan.resume_folder) {
    const std::string& folder = options.dump ? *options.dump : *plan.resume_folder;
    if (SystemResult why = LockDumpFolder(folder, options.dump.has_value(), plan.lock, console.Texts()); !why) {
      console.ShowError(why.UserMessage());
      return kExitUsage;
    }
  }
  return std::nullopt;
}

// Finds the printer's port (or takes the one named) and opens it; the
// session log starts first, so that it shows the opening too.
Ending OpenPrinter(const RestoreOptions& options, std::span<const std::int32_t> speeds, const std::string& password,
                   link::DeviceLink& link, Console& console, const RunStop* stop, FoundPrinter& chosen) {
  std::optional<FoundPrinter> found = ChoosePort(options, speeds, password, link, console, stop);
  if (!found) return StopRequested(stop) ? Stopped(*stop, options, console) : kExitStepFailed;
  chosen = std::move(*found);
  if (options.log) {
    link.SetSessionLogName(*options.log);
    link.SetLogFailureHandler([&console, log = *options.log](const platform::SystemResult& why) {
      console.ShowError(LogIncompleteText(log, why, console.Texts()));
    });
  }
  if (link.OpenLink(chosen.port, chosen.speed) == -1) {
    console.ShowMessage(kMsgCannotConnect);
    console.Note(PortOpenReason(link.OpenFailure(), console.Texts()));
    return kExitStepFailed;
  }
  return std::nullopt;
}

// Where the download is kept: the folder named, or the printer's own folder
// of kept downloads (--resume auto, or a run that names none), tied to the
// printer by its serial number; a resumed download is proven to be this
// printer's tape before a byte of it is used.
Ending PlanDump(const RestoreOptions& options, const std::string& password, const FoundPrinter& chosen,
                const std::filesystem::path& kept_root, link::DeviceLink& link, Session& session, DumpPlan& plan,
                Console& console) {
  const Catalogue& texts = console.Texts();
  plan.folder = options.dump ? *options.dump : plan.resume_folder.value_or("");
  if (plan.folder.empty() && kept_root.empty()) return std::nullopt;
  const std::string serial = dump::ReadSerialNumber(link, password);
  if (options.ResumeAuto()) {
    const std::filesystem::path folder = dump::KeptDownloadFolder(kept_root, serial);
    if (SystemResult why =
            FindKeptDownload(options, folder, serial, chosen.port, session, plan.lock, plan.resumed, texts);
        !why) {
      console.ShowError(why.UserMessage());
      return kExitUsage;
    }
    plan.folder = folder.string();
  } else if (plan.folder.empty()) {
    const std::filesystem::path folder = dump::KeptDownloadFolder(kept_root, serial);
    if (SystemResult why = KeepInUserFolder(options, kept_root, folder, plan.lock, texts); why) {
      plan.folder = folder.string();
    } else {
      console.Note(texts.Text("kept.not_kept", {{"why", why.UserMessage()}}));
    }
  }
  dump::DumpState state{dump::NewDumpId(), serial, chosen.speed, dump::DumpArea::Tape, {}, {}};
  if (plan.resumed) {
    const dump::ResumeProof proof =
        dump::ProveKeptDownload(link, password, serial, *plan.resumed, session.tape.Image, session.aux);
    // An unknown serial number proves nothing either way: the stored bytes
    // compared decide alone.
    if (proof.serial_unknown) {
      console.Note(
          texts.Text(serial.empty() ? "resume.serial_unknown" : "resume.dump_serial_unknown", {{"port", chosen.port}}));
    }
    if (!proof.Proven()) {
      console.ShowError(RefusalText(proof, plan.folder, *plan.resumed, serial, chosen.port, texts));
      return kExitStepFailed;
    }
    plan.from = dump::ResumePointsOf(*plan.resumed);
    state = *plan.resumed;
    state.speed = chosen.speed;
    if (state.serial.empty()) state.serial = serial;
  }
  if (!plan.folder.empty()) plan.recorder = std::make_unique<dump::DumpRecorder>(plan.folder, state);
  return std::nullopt;
}

// A run cut short by the user or by the line keeps what came: its last
// lines say where, and give the command that goes on from there.
void NoteWhereKept(const RestoreOptions& options, const DumpPlan& plan, const std::string& port, ExitStatus status,
                   const link::DeviceLink& link, const RunStop* stop, Console& console) {
  // Only a stop answers its status (asking the stop again would be a poll of its own).
  const bool stopped = stop != nullptr && status == stop->StoppedStatus();
  const bool line_failed = status != kExitRestored && link.Response().NoReply();
  if (!plan.recorder || !plan.recorder->Failure().Ok() || !(stopped || line_failed)) return;
  const std::string resume = options.dump         ? *options.dump
                             : plan.resume_folder ? *plan.resume_folder
                                                  : std::string(kAuto);
  console.Note(console.Texts().Text("kept.go_on", {{"folder", plan.folder}}));
  console.Note(GoOnCommand(options, port, resume));
}

}  // namespace

ExitStatus RunRestoreSession(const RestoreOptions& options, link::DeviceLink& link, Console& console,
                             const RunStop* stop, const std::filesystem::path& kept_root) {
  const Catalogue& texts = console.Texts();
  const std::optional<std::string> password = PasswordBytes(options.password);
  if (!password) {
    console.ShowError(texts.Text("option.password_charset"));
    return kExitUsage;
  }
  if (options.ResumeAuto() && kept_root.empty()) {
    console.ShowError(texts.Text("kept.no_cache"));
    return kExitUsage;
  }
  if (SystemResult why = CheckFiles(options, texts); !why) {
    console.ShowError(why.UserMessage());
    return kExitUsage;
  }
  if (options.from_dump) return RestoreFromDump(options, *password, console, stop);

  // Some 4 MB of images: kept off the stack.
  const auto session = std::make_unique<Session>();
  DumpPlan plan;
  if (const Ending end = LoadResumed(options, *session, plan, console)) return *end;
  FoundPrinter chosen;
  if (const Ending end =
          OpenPrinter(options, SpeedsFor(options, plan.speed, kept_root), *password, link, console, stop, chosen)) {
    return *end;
  }
  struct CloseAtEnd {
    link::DeviceLink& link;
    ~CloseAtEnd() { link.CloseLink(); }
  } close_at_end{link};
  if (const Ending end = PlanDump(options, *password, chosen, kept_root, link, *session, plan, console)) return *end;

  const ExitStatus status =
      DownloadRestoreAndSave(options, *password, link, *session, plan.from, plan.recorder.get(), console, stop);
  NoteWhereKept(options, plan, chosen.port, status, link, stop, console);
  return status;
}

}  // namespace fjl::cli
