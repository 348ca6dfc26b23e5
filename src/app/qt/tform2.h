#pragma once
// Step 2: download the auxiliary data (article parameters, comments).

#include <QWidget>
#include <memory>

#include "app/qt/step2_controls.h"
#include "tape/download_view.h"
#include "tape/flash_image.h"
#include "text/message_sink.h"

class QLineEdit;
class QPushButton;

namespace fjl::app {

class TForm1;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  TForm2(TForm1& step1, MessageSink& messages, QWidget* parent = nullptr);

  // The window "Дальше ->" opens.
  void SetNextStep(QWidget* step3) { next_step_ = step3; }

  TForm1& Step1() { return step1_; }
  MessageSink& Messages() { return messages_; }

  // The downloaded auxiliary data, read by step 3.
  tape::AuxImage& Aux() { return *aux_; }
  const tape::AuxImage& Aux() const { return *aux_; }

  // The counter of an auxiliary record kind 0..3; nullptr otherwise.
  QLineEdit* CounterBox(int kind) const;
  QLineEdit* TotalBox() const { return ui_.TotalBox; }
  QLineEdit* ResultBox() const { return ui_.ResultBox; }
  QLineEdit* StatusBox() const { return ui_.StatusBox; }
  QPushButton* ReadAuxButton() const { return ui_.ReadAuxButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }
  QPushButton* NextButton() const { return ui_.NextButton; }

  // Closes this window as part of ending the program.
  void CloseStep();

 public slots:
  void Button1Click();  // "Читать вспом. параметры"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Дальше ->"

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowAuxButtons(tape::DownloadPhase phase);

  TForm1& step1_;
  MessageSink& messages_;
  Step2Controls ui_;
  QWidget* next_step_ = nullptr;
  bool closing_step_ = false;
  // Some 1.7 MB: kept off the stack of whoever creates the window.
  std::unique_ptr<tape::AuxImage> aux_ = std::make_unique<tape::AuxImage>();
};

}  // namespace fjl::app
