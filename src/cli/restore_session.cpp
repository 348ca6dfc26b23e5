#include "cli/restore_session.h"

#include <memory>
#include <optional>
#include <string>

#include "cli/console_views.h"
#include "cli/output_checks.h"
#include "cli/run_report.h"
#include "output/save_text_file.h"
#include "restore/restore_tape.h"
#include "tape/aux_download.h"
#include "tape/tape_download.h"

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
  if (std::string why = CheckOutputFile(options.output); !why.empty()) return why;
  if (options.log) {
    if (std::string why = CheckLogFile(*options.log); !why.empty()) return why;
  }
  if (options.dump) {
    if (std::string why = PrepareDumpFolder(*options.dump); !why.empty()) return why;
  }
  return {};
}

// A dump that cannot be written does not stop the run: the tape can still be
// restored and saved, and the message says what is missing.
void Dump(const RestoreOptions& options, Console& console, const char* name, const tape::FlashImage& image,
          std::int64_t bytes_stored) {
  if (!options.dump) return;
  const auto kept = image.Bytes().first(static_cast<std::size_t>(bytes_stored));
  if (std::string why = WriteDumpFile(*options.dump, name, kept); !why.empty()) {
    console.ShowError("dump not written: " + why);
  }
}

}  // namespace

ExitStatus RunRestoreSession(const RestoreOptions& options, link::DeviceLink& link, Console& console) {
  const std::optional<std::string> password = PasswordBytes(options.password);
  if (!password) {
    console.ShowError("--password holds a character that Windows-1251 cannot carry");
    return kExitUsage;
  }
  if (std::string why = CheckFiles(options); !why.empty()) {
    console.ShowError(why);
    return kExitUsage;
  }

  // Before the port opens, so the log shows the opening too.
  if (options.log) link.SetSessionLogName(*options.log);
  if (link.OpenLink(options.port, options.speed) == -1) {
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

  DownloadConsoleView tape_view(console, "Контрольная лента", tape::kTapeCounterBoxes, options.verbose);
  const tape::DownloadOutcome tape_outcome = tape::TapeDownload(
      *password, session->tape, {link, session->last_response, tape_view, tape_view, tape_view});
  console.EndProgress();
  Dump(options, console, "tape.bin", session->tape.Image, tape_view.BytesStored());
  if (!tape::Succeeded(tape_outcome)) return kExitStepFailed;

  DownloadConsoleView aux_view(console, "Вспомогательные параметры", tape::kAuxCounterBoxes, options.verbose);
  const tape::DownloadOutcome aux_outcome =
      tape::AuxDownload(*password, session->aux, {link, session->last_response, aux_view, aux_view, aux_view});
  console.EndProgress();
  Dump(options, console, "aux.bin", session->aux, aux_view.BytesStored());
  if (!tape::Succeeded(aux_outcome)) return kExitStepFailed;

  // The step 3 box starts with one empty line, and the restoration appends below it.
  restore::LineSink text;
  restore::RestorationState state;
  RestoreConsoleView restore_view(console, state);
  const restore::RestoreInputs inputs{link, *password, session->tape, session->aux,
                                      [&session](const link::DeviceResponse& reply) {
                                        session->last_response = reply;
                                      }};
  const restore::RestoreOutcome outcome = restore::RestoreTape(inputs, state, text, restore_view, console);
  console.EndProgress();
  if (outcome != restore::RestoreOutcome::Completed) return kExitStepFailed;

  const output::SaveResult saved = output::SaveTextFile(options.output, text.Lines());
  if (!saved) {
    console.ShowError(options.output + ": " + saved.error);
    return kExitStepFailed;
  }
  const std::vector<std::string> gaps = IncompleteReasons(session->tape, state);
  if (!gaps.empty()) {
    console.Note(IncompleteReport(gaps));
    return kExitIncomplete;
  }
  return kExitRestored;
}

}  // namespace fjl::cli
