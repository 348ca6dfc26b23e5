#pragma once
// Step 3: restore the tape as text, show it, save it.

#include <QWidget>

#include "app/step3_controls.h"
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

  // Cleared when a restoration starts, set when one completes.
  bool RestoreFinished() const { return restore_finished_; }
  void SetRestoreFinished(bool finished) { restore_finished_ = finished; }

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
  bool restore_finished_ = false;
  bool closing_step_ = false;
};

}  // namespace fjl::app
