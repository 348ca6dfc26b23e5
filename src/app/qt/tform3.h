#pragma once
// Step 3: restore the tape as text, show it, save it.

#include <QWidget>
#include <memory>

#include "app/qt/save_file_chooser.h"
#include "app/qt/step3_controls.h"
#include "restore/restoration_state.h"
#include "text/message_sink.h"

class QPushButton;

namespace fjl::app {

class ProgressGauge;
class TapeTextBox;
class TForm1;
class TForm2;

class TForm3 : public QWidget {
  Q_OBJECT
 public:
  TForm3(TForm1& step1, TForm2& step2, MessageSink& messages, QWidget* parent = nullptr);

  TForm1& Step1() { return step1_; }
  TForm2& Step2() { return step2_; }
  MessageSink& Messages() { return messages_; }

  TapeTextBox* TextBox() const { return ui_.TextBox; }
  ProgressGauge* Gauge() const { return ui_.Gauge; }
  QPushButton* RestoreButton() const { return ui_.RestoreButton; }
  QPushButton* SaveButton() const { return ui_.SaveButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }

  // What the restoration keeps between runs (names read, record lines,
  // the kind of the last receipt, whether a run completed).
  restore::RestorationState& Restoration() { return restoration_; }
  const restore::RestorationState& Restoration() const { return restoration_; }
  // Cleared when a restoration starts, set when one completes.
  bool RestoreFinished() const { return restoration_.RestoreFinished; }
  void SetRestoreFinished(bool finished) { restoration_.RestoreFinished = finished; }

  // Where "Сохранить" asks for the file; the modal dialog unless replaced.
  // `chooser` must outlive the window or be replaced first; null puts the
  // dialog back.
  void SetSaveFileChooser(SaveFileChooser* chooser);

  // Closes this window as part of ending the program.
  void CloseStep();

 public slots:
  void Button1Click();  // "Сохранить"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Восстановить контр. ленту"

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TForm1& step1_;
  TForm2& step2_;
  MessageSink& messages_;
  Step3Controls ui_;
  restore::RestorationState restoration_;
  DialogSaveFileChooser dialog_chooser_{this};
  SaveFileChooser* save_chooser_ = &dialog_chooser_;
  bool closing_step_ = false;
};

}  // namespace fjl::app
