#pragma once
// Step 1 (TForm1): connect to the printer and download the control tape.
// Its window is the main window: closing it ends the program.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/device_response.h"
#include "tape/flash_image.h"
#include "wizard/button_tables.h"
#include "wizard/download_runner.h"
#include "wizard/kept_download.h"
#include "wizard/services.h"
#include "wizard/step_view.h"

namespace fjl::wizard {

class Step2Presenter;

class Step1Presenter {
 public:
  // Sets the window's starting state: speeds listed with "9600" selected,
  // the default password, counters at "0", red indicator, "Подключить",
  // reading and "Дальше ->" disabled.
  Step1Presenter(Step1View& view, const WizardServices& services);
  ~Step1Presenter();
  Step1Presenter(const Step1Presenter&) = delete;
  Step1Presenter& operator=(const Step1Presenter&) = delete;

  // The step "Дальше ->" opens.
  void SetNextStep(Step2Presenter* next) { next_ = next; }

  // The window's events. Each runs guarded: an error nothing handled goes
  // to the standard error box and the handler ends.
  void Open();                 // shown at start-up, the focus on "Подключить"
  void Activated();            // FormActivate: the window became active
  void ConnectOrDisconnect();  // Button1Click, "Подключить" / "Отключить"
  void ReadTape();             // Button2Click, "Читать эл. контр. ленту"
  void Finish();               // Button3Click, "Завершить"
  void Next();                 // Button4Click, "Дальше ->"
  void CloseRequested();       // the window manager's close button
  void EscapePressed();

  // The indicator's colour is the connection state.
  bool Connected() const { return indicator_ == IndicatorColour::Green; }
  // The password as the printer gets it: Windows-1251 bytes; a character
  // the code page lacks is sent as "?".
  std::string PasswordBytes() const;

  const WizardServices& Services() const { return services_; }
  // The downloaded tape, read by step 3.
  tape::TapeData& Tape() { return *tape_; }
  const tape::TapeData& Tape() const { return *tape_; }
  // The reply of the latest exchange of any step.
  link::DeviceResponse& LastResponse() { return last_response_; }
  const link::DeviceResponse& LastResponse() const { return last_response_; }

  // The download kept in the user's folder, shared by the three steps.
  KeptDownload& Kept() { return kept_; }

  // Closes the window as part of ending the program.
  void CloseWindow() { view_.CloseWindow(); }

  // Why the session log stopped taking entries, the first time it is
  // asked after that happened; every step's exchanges write the one log.
  std::optional<std::string> TakeLogNotice();

 private:
  void Connect();
  void Disconnect();
  void ShowConnected(bool connected);
  void ShowTapeButtons(DownloadPhase phase);
  void ShowLists();
  void ShowLogNotice();

  Step1View& view_;
  WizardServices services_;
  Step2Presenter* next_ = nullptr;
  DownloadRunner downloads_;
  IndicatorColour indicator_ = IndicatorColour::Red;
  bool finishing_ = false;
  // The port list as last filled, and what the open port was opened with.
  std::vector<std::string> port_items_;
  std::string connected_port_;
  std::string connected_speed_;
  // Some 2 MB: kept off the stack of whoever creates the presenter.
  std::unique_ptr<tape::TapeData> tape_ = std::make_unique<tape::TapeData>();
  KeptDownload kept_;
  link::DeviceResponse last_response_;
  std::optional<std::string> log_notice_;
};

}  // namespace fjl::wizard
