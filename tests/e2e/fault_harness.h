#pragma once
// What the fault tests share: the three windows' data and button calls
// driven through recording views (the same core calls the windows make), a
// printer on a pseudo-terminal that can be unplugged and plugged back in
// under the same port name, a scratch folder, a tmpfs mount, and a journal
// long enough that a fault on every tenth reply lands inside a download.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "output/save_text_file.h"
#include "restore/restore_tape.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "support/recording_views.h"
#include "tape/aux_download.h"
#include "tape/download_messages.h"
#include "tape/tape_download.h"

namespace fjl::e2e {

using Clock = std::chrono::steady_clock;

// ---- Recording views -------------------------------------------------------

// The step 3 text box: one empty line to begin with, batches appended below.
class TextBox : public restore::LineView {
 public:
  void AppendLines(std::span<const std::string> more) override { lines.insert(lines.end(), more.begin(), more.end()); }
  std::vector<std::string> lines{""};
};

class RestoreControls : public restore::RestoreView {
 public:
  void SetGaugeRange(std::int32_t, std::int32_t maximum) override { gauge_max = maximum; }
  void SetGaugeProgress(std::int32_t progress) override { gauge = progress; }
  void SetRestoreEnabled(bool enabled) override { restore_enabled = enabled; }
  std::int32_t gauge_max = 0;
  std::int32_t gauge = 0;
  bool restore_enabled = true;
};

// ---- The wizard's data and buttons ----------------------------------------

struct DownloadStep {
  explicit DownloadStep(std::size_t box_count) : counters(box_count) {}
  recording::DownloadBoxes boxes;
  recording::Counters counters;
  recording::Messages messages;
};

// The three windows' data with the calls their buttons make, on one link
// that stays open between the steps, as the program's one DeviceLink does.
class Wizard {
 public:
  explicit Wizard(link::Exchanger& link, std::string password = "482913")
      : link_(link), password_(std::move(password)) {}

  // "Читать эл. контр. ленту"
  tape::DownloadOutcome ReadTape() {
    return tape::TapeDownload(password_, *tape, {link_, last_response, step1.boxes, step1.counters, step1.messages});
  }
  // "Читать вспом. параметры"
  tape::DownloadOutcome ReadAux() {
    return tape::AuxDownload(password_, *aux, {link_, last_response, step2.boxes, step2.counters, step2.messages});
  }
  // "Восстановить контр. ленту": the run appends below what the box shows.
  restore::RestoreOutcome Restore() {
    restore::LineSink text(box.lines, &box);
    const restore::RestoreInputs inputs{link_, password_, *tape, *aux,
                                        [this](const link::DeviceResponse& reply) { last_response = reply; }};
    return restore::RestoreTape(inputs, restoration, text, controls, step3);
  }
  // "Сохранить" into `path`; the window shows "<path>: <system message>" on failure.
  platform::SystemResult Save(const std::string& path) { return output::SaveTextFile(path, box.lines); }

  std::span<const std::uint8_t> TapeBytes(std::size_t n) const { return tape->Image.Bytes().first(n); }
  std::span<const std::uint8_t> AuxBytes(std::size_t n) const { return aux->Bytes().first(n); }

  // Some 4 MB of images: kept off the stack.
  std::unique_ptr<tape::TapeData> tape = std::make_unique<tape::TapeData>();
  std::unique_ptr<tape::AuxImage> aux = std::make_unique<tape::AuxImage>();
  link::DeviceResponse last_response;
  DownloadStep step1{tape::kTapeCounterBoxes.size()};
  DownloadStep step2{tape::kAuxCounterBoxes.size()};
  TextBox box;
  RestoreControls controls;
  restore::RestorationState restoration;
  recording::Messages step3;

 private:
  link::Exchanger& link_;
  std::string password_;
};

inline bool SameBytes(std::span<const std::uint8_t> got, const sim::Bytes& want, std::size_t n) {
  return n <= want.size() && got.size() >= n && std::equal(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(n), got.begin());
}

// ---- Journals ---------------------------------------------------------------

// Forty receipts of open, department, sale, total, payment and close (the
// types 0, 12, 5, 2, 4, 1: 4 + 2 + 12 + 1 + 10 + 14 = 43 bytes each), and an
// auxiliary area of thirty articles: enough chunks of 100 bytes in both
// areas that a fault on every tenth reply lands inside each download.
inline constexpr std::size_t kBusyReceipts = 40;
inline constexpr std::size_t kBusyReceiptBytes = 43;

struct BusyJournal {
  sim::Bytes tape;
  sim::Bytes aux;
};

inline BusyJournal MakeBusyJournal() {
  sim::AuxBuilder aux;
  std::vector<std::uint32_t> items;
  for (int i = 0; i < 30; ++i) {
    std::uint32_t ref = 0;
    aux.Item({.code = 4820000000000ull + static_cast<std::uint64_t>(i),
              .tax_group = static_cast<std::uint8_t>(i % 5),
              .department = static_cast<std::uint8_t>(1 + i % 4),
              .name = sim::Cp1251("Товар для проверки №" + std::to_string(i))})
        .Tag(ref);
    items.push_back(ref);
  }
  aux.Department(1, sim::Cp1251("Бакалея")).Unit(1, sim::Cp1251("шт")).Comment(sim::Cp1251("Спасибо!"));
  sim::TapeBuilder tape;
  for (std::size_t i = 0; i < kBusyReceipts; ++i) {
    tape.ReceiptOpen({.operator_index = static_cast<std::uint8_t>(i % 4), .pos_number = 1, .receipt_kind = 0})
        .DepartmentSelect(static_cast<std::uint8_t>(1 + i % 4))
        .ItemSale({.item_reference = items[i % items.size()], .quantity = 1000, .price = 1999})
        .TotalPrint()
        .FinalPayment({.payment_form = static_cast<std::uint8_t>(i % 2), .amount = 1999, .change = 0})
        .ReceiptClose({.document_number = static_cast<std::int32_t>(i + 1),
                       .when = sim::BcdDateTime(14, 3, 25, 10, 30),
                       .receipt_number = static_cast<std::int16_t>(i + 1)});
  }
  return {tape.End(), aux.End()};
}

inline sim::PrinterModel BusyPrinter() {
  BusyJournal j = MakeBusyJournal();
  return sim::MakePrinterModel(sim::MakeSampleJournal().identity, std::move(j.tape), std::move(j.aux));
}

// Flash reads a whole download of an area takes at 100 bytes a reply: the
// one that holds the last byte (the end mark's type byte) ends it.
inline int FlashReadsFor(const sim::Bytes& area) { return static_cast<int>((area.size() - 1) / 100 + 1); }

// ---- Printer on a pseudo-terminal, unpluggable ------------------------------

// The simulator on a pty, reached through a symlink that stays the port's
// name when the printer is plugged in again on a new pty, as a by-id name of
// a USB adapter does.
class PluggablePrinter {
 public:
  explicit PluggablePrinter(sim::Simulator& simulator, std::int64_t baud = 0)
      : simulator_(simulator), baud_(baud) {
    std::string pattern = (std::filesystem::temp_directory_path() / "fjl-port.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    port_ = (folder_ / "ttyUSB-printer").string();
    Plug();
  }
  ~PluggablePrinter() {
    pty_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  PluggablePrinter(const PluggablePrinter&) = delete;
  PluggablePrinter& operator=(const PluggablePrinter&) = delete;

  const std::string& Port() const { return port_; }
  bool Serving() const { return pty_ && pty_->Serving(); }

  // The adapter pulled: its device node goes with it.
  void Unplug() {
    pty_.reset();
    std::error_code ignored;
    std::filesystem::remove(port_, ignored);
  }
  void Plug() {
    pty_ = std::make_unique<sim::PtyPrinter>(simulator_, sim::PtyPrinterOptions{.baud = baud_});
    std::error_code ignored;
    std::filesystem::remove(port_, ignored);
    std::filesystem::create_symlink(pty_->SlavePath(), port_);
  }

 private:
  sim::Simulator& simulator_;
  std::int64_t baud_;
  std::filesystem::path folder_;
  std::string port_;
  std::unique_ptr<sim::PtyPrinter> pty_;
};

// ---- Files ------------------------------------------------------------------

class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fjl-fault.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Every name in a folder, hidden ones (a left-over temporary file) included.
inline std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A small tmpfs at `where` (an empty folder), unmounted again at the end.
// Needs root with the right to mount, which a developer's machine and the CI
// container have; elsewhere Mounted() is false and Why() says why.
class TmpfsMount {
 public:
  TmpfsMount(std::string where, std::string size) : where_(std::move(where)), size_(std::move(size)) {
    std::filesystem::create_directories(where_);
    if (::mount("tmpfs", where_.c_str(), "tmpfs", 0, ("size=" + size_).c_str()) == 0) {
      mounted_ = true;
    } else {
      why_ = "cannot mount a tmpfs at " + where_ + ": " + std::strerror(errno) +
             " (needs root with CAP_SYS_ADMIN)";
    }
  }
  ~TmpfsMount() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }
  bool SetReadOnly(bool read_only) {
    const unsigned long flags = MS_REMOUNT | (read_only ? MS_RDONLY : 0);
    return ::mount("tmpfs", where_.c_str(), "tmpfs", flags, ("size=" + size_).c_str()) == 0;
  }
  // Fills what is left with a file of its own; false when nothing was left.
  bool FillUp(const std::string& name = "filler") {
    const int fd = ::open((where_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::string block(4096, 'x');
    std::size_t total = 0;
    for (;;) {
      const ssize_t n = ::write(fd, block.data(), block.size());
      if (n <= 0) break;
      total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return total > 0;
  }

 private:
  std::string where_;
  std::string size_;
  bool mounted_ = false;
  std::string why_;
};

// ---- Descriptors ------------------------------------------------------------

inline std::size_t OpenDescriptors() {
  std::size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++n;
  }
  return n;
}

}  // namespace fjl::e2e

namespace fjl::e2e {

// The download messages, word for word.
inline const std::string kShownDone = "Успешно. Чтение контрольной ленты завершено.";
inline const std::string kShownTimeout = "Ошибка! Таймаут устройства! Чтение данных остановлено.";
inline const std::string kShownLineGone =
    "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.";
inline const std::string kShownNoEndMarker =
    "Внимание! Регистратор закончил передачу без маркера конца ленты. "
    "Будут восстановлены только полностью прочитанные записи.";
inline const std::string kShownFlashError = "Ошибка чтения данных из флеш-памяти. Чтение данных остановлено.";
inline const std::string kShownBadData = "Информация переданная регистратором неверна. Чтение данных остановлено.";
inline const std::string kShownNak = "Ошибка! Регистратор не принял запрос (NAK). Чтение данных остановлено.";
inline const std::string kShownBadChecksum =
    "Ошибка! Неверная контрольная сумма ответа регистратора. Чтение данных остановлено.";

using Shown = std::vector<std::string>;

}  // namespace fjl::e2e

#include "link/device_link.h"
#include "sim/lib/in_process_channel.h"

namespace fjl::e2e {

// DeviceLink over the in-process channel, whose clock moves on by itself
// instead of sleeping: a silent printer costs no wall time. The link's own
// clock (which bounds a wait kept alive by SYN bytes) follows the channel's.
class InProcessLink {
 public:
  explicit InProcessLink(sim::Simulator& simulator)
      : link([this, &simulator](const std::string&, std::int32_t) -> std::unique_ptr<serial::SerialChannel> {
          auto made = std::make_unique<sim::InProcessChannel>(simulator);
          channel = made.get();
          return made;
        }) {
    link.SetMonotonicClock([this] {
      const std::chrono::nanoseconds now = channel ? channel->Now() : std::chrono::nanoseconds{0};
      return Clock::time_point(std::chrono::duration_cast<Clock::duration>(now));
    });
    link.OpenLink("/dev/ttyS0", 9600);
  }
  // Time on the channel's clock.
  std::chrono::nanoseconds Now() const { return channel ? channel->Now() : std::chrono::nanoseconds{0}; }

  sim::InProcessChannel* channel = nullptr;
  link::DeviceLink link;
};

}  // namespace fjl::e2e
