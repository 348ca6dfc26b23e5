#include "wizard/step3_presenter.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "fjl_version.h"
#include "output/save_text_file.h"
#include "platform/local_time.h"
#include "restore/line_sink.h"
#include "restore/restore_tape.h"
#include "tapedata/tape_csv.h"
#include "tapedata/tape_json.h"
#include "wizard/guarded.h"
#include "wizard/keyboard.h"
#include "wizard/save_dialog.h"
#include "wizard/step1_presenter.h"
#include "wizard/step2_presenter.h"
#include "wizard/step_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard {
namespace {

// The next save opens where this one went, as the dialog always has. A
// folder that cannot be entered leaves the working directory as it was.
// Gives the folder, UTF-8.
std::string FollowSavedFile(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(std::u8string(path.begin(), path.end())).parent_path();
  std::error_code ignored;
  if (folder.empty()) folder = std::filesystem::current_path(ignored);
  std::filesystem::current_path(folder, ignored);
  const std::u8string text = std::filesystem::absolute(folder, ignored).u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

void RestoreWindowView::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) {
  gauge_.SetRange(minimum, maximum);
  view_.SetGaugeRange(minimum, maximum);
}

void RestoreWindowView::SetGaugeProgress(std::int32_t progress) {
  gauge_.SetProgress(progress);
  view_.SetGaugeProgress(progress);
  toolkit_.ShowTaskProgress(std::int64_t{gauge_.Progress()} - gauge_.Minimum(),
                            std::int64_t{gauge_.Maximum()} - gauge_.Minimum());
  toolkit_.KeepResponsive();
}

void RestoreWindowView::SetRestoreEnabled(bool enabled) {
  view_.SetEnabled(Step3Control::RestoreButton, enabled);
}

Step3Presenter::Step3Presenter(Step3View& view, Step1Presenter& step1, Step2Presenter& step2)
    : view_(view), step1_(step1), step2_(step2) {
  view_.SetGaugeRange(0, 100);
  view_.SetGaugeProgress(0);
  for (const Step3Control button : {Step3Control::RestoreButton, Step3Control::SaveButton,
                                    Step3Control::FinishButton}) {
    view_.SetEnabled(button, true);
  }
}

void Step3Presenter::Open() {
  RunGuardedOver(view_, [this] {
    view_.ShowWindow();
    view_.SetFocus(kStep3MainButton);
  });
}

void Step3Presenter::Save() {
  RunGuardedOver(view_, [this] {
    const platform::CalendarTime today = platform::LocalCalendarTime();
    const std::optional<SaveChoice> chosen = view_.ChooseSaveFile(SaveDialogSettingsFor(
        SaveFolder(), ProposedFileName(step1_.Kept().Serial(), today.year, today.month, today.day)));
    // The dialog took the focus; the save button had it, and Enter there
    // saves again rather than typing into the tape.
    view_.SetFocus(Step3Control::SaveButton);
    if (!chosen) return;
    const std::string path = PathToSave(*chosen);
    if (SavesData(*chosen)) {
      if (SaveData(*chosen, path)) last_folder_ = FollowSavedFile(path);
      return;
    }
    const platform::SystemResult saved = output::SaveTextFile(path, view_.TapeLines());
    if (!saved) {
      view_.ShowError(saved.UserMessage());
      return;
    }
    last_folder_ = FollowSavedFile(path);
  });
}

// Where the dialog opens: the folder of this run's latest save, at first the
// user's documents (the program's own folder may be hidden, and an
// uninstaller leaves a tape there behind).
std::string Step3Presenter::SaveFolder() const {
  if (!last_folder_.empty()) return last_folder_;
  const std::string& documents = step1_.Services().documents_folder;
  if (!documents.empty()) return documents;
  std::error_code ignored;
  const std::u8string current = std::filesystem::current_path(ignored).u8string();
  return std::string(current.begin(), current.end());
}

bool Step3Presenter::SaveData(const SaveChoice& choice, const std::string& path) {
  if (!tape_model_) {
    view_.ShowMessage(kMsgRestoreBeforeData);
    return false;
  }
  const auto saved = [this](const platform::SystemResult& result) {
    if (!result) view_.ShowError(result.UserMessage());
    return result.Ok();
  };
  const auto save = [&saved](const std::string& file, std::string_view bytes) {
    return saved(output::SaveFileBytes(file, bytes));
  };
  if (choice.filter == kJsonFilterIndex) {
    // Saved as it is written: a full tape's JSON is some 5 MB.
    return saved(output::SaveFileWritten(path, [this](const output::PartWriter& part) {
      tapedata::WriteTapeJson(*tape_model_, {kVersion, read_time_}, part);
    }));
  }
  const tapedata::TapeCsv csv = tapedata::TapeCsvTables(*tape_model_);
  const CsvPaths paths = CsvPathsFor(path);
  return save(paths.documents, csv.documents) && save(paths.items, csv.items) && save(paths.payments, csv.payments);
}

void Step3Presenter::Finish() {
  RunGuardedOver(view_, [this] {
    finishing_ = true;
    view_.ShowMessage(RestoreFinished() ? kMsgAppFinished : kMsgAppStopped);
    step2_.CloseWindow();
    step1_.CloseWindow();
    view_.CloseWindow();
  });
}

void Step3Presenter::Restore() {
  RunGuardedOver(view_, [this] {
    Toolkit& toolkit = step1_.Services().ui;
    // The run reads back lines it wrote (an annulment repeats them), so its
    // text starts as the box stands now: the initial empty line, an earlier
    // run's lines, whatever the user typed.
    restore::LineSink text(view_.TapeLines(), &view_);
    RestoreWindowView gauge(view_, toolkit);
    StepMessages<Step3Control> messages(view_);
    const std::string password = step1_.PasswordBytes();
    // The records as data too, for saving under the JSON and CSV filters.
    tapedata::TapeModelBuilder model(static_cast<std::int64_t>(step1_.Tape().Image.Size()));
    const std::string read_time = tapedata::LocalReadTime();
    const restore::RestoreInputs inputs{
        step1_.Kept().Recording(step1_.Services().device_link),
        password,
        step1_.Tape(),
        step2_.Aux(),
        [this](const link::DeviceResponse& reply) { step1_.LastResponse() = reply; },
        nullptr,
        restore::kRestoredTextBudget,
        &model};

    // Undone in reverse order however the run ends: the lines not shown yet
    // go into the box (a stopped run has shown its own before its message),
    // then the windows take input again.
    toolkit.BeginBusy({});
    struct Busy {
      Toolkit& toolkit;
      bool& restoring;
      ~Busy() {
        restoring = false;
        toolkit.EndBusy();
      }
    } busy{toolkit, restoring_};
    restoring_ = true;
    struct ShowLinesAtEnd {
      restore::LineSink& text;
      ~ShowLinesAtEnd() { text.Flush(); }
    } show_lines{text};

    if (restore::RestoreTape(inputs, restoration_, text, gauge, messages) == restore::RestoreOutcome::Completed) {
      tape_model_ = model.Take();
      read_time_ = read_time;
      // The restore button the focus was on is disabled now: saving is next.
      view_.SetFocus(Step3Control::SaveButton);
    }
    // This window has no status box: the notice gets a box of its own.
    if (const std::optional<std::string> notice = step1_.TakeLogNotice()) view_.ShowMessage(*notice);
  });
}

// A restoration cannot be stopped half-way (its text would end without its
// footer): while it runs the close button is dropped like every other input.
void Step3Presenter::CloseRequested() {
  if (!restoring_ && !finishing_) Finish();
}

}  // namespace fjl::wizard
