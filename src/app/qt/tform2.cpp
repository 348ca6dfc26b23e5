#include "app/qt/tform2.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/qt/download_views.h"
#include "app/qt/guarded.h"
#include "app/qt/layout_helpers.h"
#include "app/qt/tform1.h"
#include "app/qt/window_style.h"
#include "tape/aux_download.h"

namespace fjl::app {

TForm2::TForm2(TForm1& step1, MessageSink& messages, QWidget* parent)
    : QWidget(parent), step1_(step1), messages_(messages), ui_(BuildStep2Controls(*this)) {
  ApplyStepWindowStyle(*this, ToQString("Чтение вспомогательных данных. Шаг 2."),
                       QSize(409, 432));
  ConnectGuarded(ui_.ReadAuxButton, this, messages_, [this] { Button1Click(); });
  ConnectGuarded(ui_.FinishButton, this, messages_, [this] { Button2Click(); });
  ConnectGuarded(ui_.NextButton, this, messages_, [this] { Button3Click(); });
}

QLineEdit* TForm2::CounterBox(int kind) const {
  if (kind < 0 || kind >= static_cast<int>(ui_.CounterBoxes.size())) {
    return nullptr;
  }
  return ui_.CounterBoxes[static_cast<std::size_t>(kind)];
}

void TForm2::CloseStep() {
  closing_step_ = true;
  close();
  closing_step_ = false;
}

void TForm2::Button1Click() {
  BoxDownloadView view(*ui_.ResultBox, *ui_.StatusBox);
  CounterBoxesView counters(tape::kAuxCounterBoxes, [this](int kind) {
    return kind == tape::kTotalKind ? ui_.TotalBox : CounterBox(kind);
  });
  const std::string password = step1_.PasswordBytes();

  RunBusyDownload([this](tape::DownloadPhase phase) { ShowAuxButtons(phase); }, [&] {
    return tape::AuxDownload(password, *aux_,
                             {step1_.Link(), step1_.LastResponse(), view, counters, messages_});
  });
}

void TForm2::ShowAuxButtons(tape::DownloadPhase phase) {
  const tape::AuxButtons buttons = tape::AuxButtonsFor(phase);
  ui_.ReadAuxButton->setEnabled(buttons.ReadAux);
  ui_.NextButton->setEnabled(buttons.Next);
}

void TForm2::Button2Click() {
  messages_.ShowMessage("Приложение остановлено!");
  step1_.close();
  CloseStep();
}

void TForm2::Button3Click() {
  if (next_step_ == nullptr) {
    return;
  }
  hide();
  next_step_->show();
  next_step_->raise();
  next_step_->activateWindow();
}

void TForm2::closeEvent(QCloseEvent* event) {
  event->accept();
  // Closed by the window system rather than by "Завершить": end the program
  // as the main window would, so nothing is left running without a window.
  if (!closing_step_) {
    step1_.close();
  }
}

}  // namespace fjl::app
