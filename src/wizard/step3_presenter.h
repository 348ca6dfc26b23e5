#pragma once
// Step 3 (TForm3): restore the tape as text, show it, save it.

#include <optional>
#include <string>

#include "restore/restoration_state.h"
#include "restore/restore_view.h"
#include "tapedata/tape_model.h"
#include "wizard/gauge.h"
#include "wizard/step_view.h"
#include "wizard/toolkit.h"

namespace fjl::wizard {

class Step1Presenter;
class Step2Presenter;

// The step 3 window's side of a restoration: its gauge and restore button.
// The core already calls SetGaugeProgress only when the percentage moves;
// each of those calls also lets the window repaint and tells the toolkit
// how far the run has come.
class RestoreWindowView final : public restore::RestoreView {
 public:
  RestoreWindowView(Step3View& view, Toolkit& toolkit) : view_(view), toolkit_(toolkit) {}
  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override;
  void SetGaugeProgress(std::int32_t progress) override;
  void SetRestoreEnabled(bool enabled) override;

 private:
  Step3View& view_;
  Toolkit& toolkit_;
  GaugeState gauge_;
};

class Step3Presenter {
 public:
  // Sets the window's starting state: the text box's one empty line is the
  // window's own; the gauge at 0 %, all three buttons enabled.
  Step3Presenter(Step3View& view, Step1Presenter& step1, Step2Presenter& step2);
  Step3Presenter(const Step3Presenter&) = delete;
  Step3Presenter& operator=(const Step3Presenter&) = delete;

  void Open();            // shown by step 2's "Дальше ->", the focus on restoring
  void Save();            // Button1Click, "Сохранить"
  void Finish();          // Button2Click, "Завершить"
  void Restore();         // Button3Click, "Восстановить контр. ленту"
  void CloseRequested();  // the window manager's close button

  // What the restoration keeps between runs (names read, record lines, the
  // kind of the last receipt, whether a run completed).
  restore::RestorationState& Restoration() { return restoration_; }
  const restore::RestorationState& Restoration() const { return restoration_; }
  // Cleared when a restoration starts, set when one completes.
  bool RestoreFinished() const { return restoration_.RestoreFinished; }

  void CloseWindow() { view_.CloseWindow(); }

 private:
  std::string SaveFolder() const;
  // Saving under the JSON or CSV filter; whether every file was written.
  bool SaveData(const SaveChoice& choice, const std::string& path);

  Step3View& view_;
  Step1Presenter& step1_;
  Step2Presenter& step2_;
  restore::RestorationState restoration_;
  // The completed restoration's records as data, and when it ran: what the
  // JSON and CSV filters save.
  std::optional<tapedata::TapeModel> tape_model_;
  std::string read_time_;
  bool restoring_ = false;
  bool finishing_ = false;
  std::string last_folder_;  // of this run's latest save, UTF-8
};

}  // namespace fjl::wizard
