#include "app/qt/tform3.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "app/qt/busy_guard.h"
#include "app/qt/guarded.h"
#include "app/qt/layout_helpers.h"
#include "app/qt/progress_gauge.h"
#include "app/qt/restore_views.h"
#include "app/qt/tape_text_box.h"
#include "app/qt/tform1.h"
#include "app/qt/tform2.h"
#include "app/qt/window_style.h"
#include "output/save_dialog.h"
#include "output/save_text_file.h"
#include "restore/line_sink.h"
#include "restore/restore_tape.h"

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

void TForm3::SetSaveFileChooser(SaveFileChooser* chooser) {
  save_chooser_ = chooser != nullptr ? chooser : &dialog_chooser_;
}

void TForm3::Button1Click() {
  const std::optional<QString> chosen = save_chooser_->ChooseSaveFile(CurrentSaveDialogSettings());
  if (!chosen) return;
  const std::string path = output::WithDefaultExtension(QFile::encodeName(*chosen).toStdString());
  const output::SaveResult saved = output::SaveTextFile(path, ui_.TextBox->Lines());
  if (!saved) {
    messages_.ShowError(QFile::decodeName(QByteArray::fromStdString(path)).toStdString() + ": " +
                        saved.error);
    return;
  }
  // The next save opens where this one went, as the dialog always has.
  QDir::setCurrent(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absolutePath());
}

void TForm3::Button2Click() {
  messages_.ShowMessage(RestoreFinished() ? "Успешно! Завершение приложения!"
                                          : "Приложение остановлено!");
  step2_.CloseStep();
  step1_.close();
  CloseStep();
}

void TForm3::Button3Click() {
  TextBoxLineView lines_view(*ui_.TextBox);
  // The run reads back lines it wrote (an annulment repeats them), so its
  // text starts as the box stands now: the initial empty line, an earlier
  // run's lines, whatever the user typed.
  restore::LineSink text(ui_.TextBox->Lines(), &lines_view);
  Step3RestoreView view(*ui_.Gauge, *ui_.RestoreButton);
  const std::string password = step1_.PasswordBytes();
  const restore::RestoreInputs inputs{
      step1_.Link(), password, step1_.Tape(), step2_.Aux(),
      [this](const link::DeviceResponse& reply) { step1_.LastResponse() = reply; }};

  BusyGuard busy;
  // A stopped run has shown its lines before its message; this is for any
  // way out that did not.
  struct ShowLinesAtEnd {
    restore::LineSink& text;
    ~ShowLinesAtEnd() { text.Flush(); }
  } show_lines{text};
  restore::RestoreTape(inputs, restoration_, text, view, messages_);
}

void TForm3::closeEvent(QCloseEvent* event) {
  event->accept();
  // Closed by the window system rather than by "Завершить": end the program
  // as the main window would.
  if (!closing_step_) {
    step1_.close();
  }
}

}  // namespace fjl::app
