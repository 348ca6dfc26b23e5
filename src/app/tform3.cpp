#include "app/tform3.h"

#include <QCloseEvent>
#include <QPushButton>

#include "app/guarded.h"
#include "app/layout_helpers.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/window_style.h"

namespace fjl::app {

TForm3::TForm3(TForm1& step1, TForm2& step2, MessageSink& messages, QWidget* parent)
    : QWidget(parent),
      step1_(step1),
      step2_(step2),
      messages_(messages),
      ui_(BuildStep3Controls(*this)) {
  ApplyStepWindowStyle(*this, ToQString("Восстановление контрольной ленты. Шаг 3."),
                       QSize(632, 473));
  ConnectGuarded(ui_.SaveButton, this, messages_, [this] { Button1Click(); });
  ConnectGuarded(ui_.FinishButton, this, messages_, [this] { Button2Click(); });
  ConnectGuarded(ui_.RestoreButton, this, messages_, [this] { Button3Click(); });
}

void TForm3::CloseStep() {
  closing_step_ = true;
  close();
  closing_step_ = false;
}

void TForm3::Button1Click() {}

void TForm3::Button2Click() {
  messages_.ShowMessage(restore_finished_ ? "Успешно! Завершение приложения!"
                                          : "Приложение остановлено!");
  step2_.CloseStep();
  step1_.close();
  CloseStep();
}

void TForm3::Button3Click() {}

void TForm3::closeEvent(QCloseEvent* event) {
  event->accept();
  // Closed by the window system rather than by "Завершить": end the program
  // as the main window would.
  if (!closing_step_) {
    step1_.close();
  }
}

}  // namespace fjl::app
