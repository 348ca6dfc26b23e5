#pragma once
// Step 2: download the auxiliary data (article parameters, comments).

#include <QWidget>

#include "app/step2_controls.h"
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
  TForm1& step1_;
  MessageSink& messages_;
  Step2Controls ui_;
  QWidget* next_step_ = nullptr;
  bool closing_step_ = false;
};

}  // namespace fjl::app
