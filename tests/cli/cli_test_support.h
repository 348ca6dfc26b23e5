#pragma once
// What the CLI tests share: a scratch folder, a small journal whose restored
// text is worked out by hand, and the CLI run in-process with its output kept.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/sample_journal.h"
#include "text/cp1251.h"
#include "support/sample_tape_text.h"

namespace fjl::cli::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fjl-cli-test.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }
  // Names in the folder, hidden ones (a left-over temporary file) included.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A sale with a department, a discount, split payment and a comment, then a
// return: two receipts, two operators, two payment forms.
struct SmallJournal {
  sim::Bytes tape;
  sim::Bytes aux;
};

inline SmallJournal MakeSmallJournal() {
  std::uint32_t kefir = 0;
  std::uint32_t note = 0;
  sim::AuxBuilder aux;
  aux.Department(2, sim::Cp1251("Молочный"))
      .Item({.code = 4607001, .tax_group = 1, .department = 2, .name = sim::Cp1251("Кефир 1%")})
      .Tag(kefir)
      .Comment(sim::Cp1251("Приходите ещё!"))
      .Tag(note);
  sim::TapeBuilder tape;
  tape.ReceiptOpen({.operator_index = 1, .pos_number = 2, .receipt_kind = 0})
      .DepartmentSelect(2)
      .ItemSale({.item_reference = kefir, .quantity = 2500, .price = 1999})
      .PercentAdjustment(-250)
      .TotalPrint()
      .PartialPayment({.payment_form = 1, .amount = 2000})
      .FinalPayment({.payment_form = 0, .amount = 5000, .change = 2126})
      .FiscalComment(note)
      .ReceiptClose({.document_number = 7, .when = sim::BcdDateTime(3, 1, 25, 9, 5), .receipt_number = 12})
      .ReceiptOpen({.operator_index = 0, .pos_number = 2, .receipt_kind = 1})
      .ItemSale({.item_reference = kefir, .quantity = 1000, .price = 1999})
      .AmountAdjustment(-5)
      .TotalPrint()
      .FinalPayment({.payment_form = 0, .amount = 1994, .change = 0})
      .ReceiptClose({.document_number = 8, .when = sim::BcdDateTime(3, 1, 25, 9, 30), .receipt_number = 3});
  return {tape.End(), aux.End()};
}

// The integrity check's closing line of every run that restored the small
// journal: two receipts, numbers 7 and 8, both paid, dates in order.
inline const std::string kSmallJournalCheck =
    "Проверка ленты: замечаний нет (документов 2, сквозные номера 7–8, с 03/01/25  09:05 по 03/01/25  09:30).\n";

// The printer answers with the identity of the sample journal (the
// simulator program keeps it when given other images).
inline sim::PrinterModel SmallJournalPrinter() {
  SmallJournal journal = MakeSmallJournal();
  return sim::MakePrinterModel(sim::MakeSampleJournal().identity, std::move(journal.tape),
                               std::move(journal.aux));
}

using test::FooterLines;
using test::kStars;
using test::SampleHeaderLines;
inline const std::string kRule(50, '=');

// The step 3 box after restoring the small journal: its initial empty line,
// the header, the two receipts, the footer.
inline std::vector<std::string> SmallJournalLines() {
  std::vector<std::string> lines{""};
  const auto add = [&lines](const std::vector<std::string>& more) { lines.insert(lines.end(), more.begin(), more.end()); };
  add(SampleHeaderLines());
  add({" ", kRule, "Открыть фискальный чек", "     тип чека - продажа товаров,", "     номер POS - 2,",
       "     оператор #2: Петренко В."});
  add({"Задание номера отдела", "     отдел #2: Молочный"});
  add({"Продажа товара", "     номер артикула=4607001,", "     налог=Б,", "     отдел=2,",
       "     имя товара=Кефир 1%", "     количество=2.500,", "     цена=19.99"});
  add({"Процентная скидка/надбавка на товар", "     скидка=-2.50%"});
  add({"Печать итога"});
  add({"Частичная оплата", "     Номер оплаты=1, Название=КАРТОЧКОЙ,", "     сумма оплаты=20.00"});
  add({"Окончательная оплата", "     Номер оплаты=0, Название=НАЛИЧНЫМИ,", "     сумма оплаты=50.00,",
       "     сдача=21.26"});
  add({"Печать комментария", "     Приходите ещё!"});
  add({"Закрыть фискальный чек", "     Сквозной номер документа=7, 03/01/25  09:05", "     Номер чека продажи=12",
       kRule, " "});
  add({" ", kRule, "Открыть фискальный чек", "     тип чека - возврат товаров,", "     номер POS - 2,",
       "     оператор #1: Иванова А."});
  add({"Продажа товара", "     номер артикула=4607001,", "     налог=Б,", "     отдел=2,",
       "     имя товара=Кефир 1%", "     количество=1.000,", "     цена=19.99"});
  add({"Стоимостная скидка/надбавка на товар", "     скидка=-.05"});
  add({"Печать итога"});
  add({"Окончательная оплата", "     Номер оплаты=0, Название=НАЛИЧНЫМИ,", "     сумма оплаты=19.94,",
       "     сдача=0.00"});
  add({"Закрыть фискальный чек", "     Сквозной номер документа=8, 03/01/25  09:30", "     Номер чека возврата=3",
       kRule, " "});
  add(FooterLines());
  return lines;
}

// An FJL file's bytes: Windows-1251, every line ended by CR LF.
inline std::string FjlBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += text::Utf8ToCp1251(line) + "\r\n";
  return bytes;
}

// An FJL file's lines back in UTF-8, CR LF taken off.
inline std::vector<std::string> FjlLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text::Cp1251ToUtf8(bytes.substr(start)));
      break;
    }
    lines.push_back(text::Cp1251ToUtf8(bytes.substr(start, end - start)));
    start = end + 2;
  }
  return lines;
}

// What an English run says after each download of the small journal: the
// download's own message, then the area and what it read. The tape's 15
// records (9 + 6 above) end within its second chunk, the 3 auxiliary records
// within the first; chunks are 100 bytes unless a test asks for fewer.
inline const std::string kDownloadDone = "Успешно. Чтение контрольной ленты завершено.\n";
inline std::string TapeDone(int bytes = 200) {
  return kDownloadDone + "Control tape downloaded: " + std::to_string(bytes) + " bytes, 15 records\n";
}
inline std::string AuxDone(int bytes = 100) {
  return kDownloadDone + "Auxiliary data downloaded: " + std::to_string(bytes) + " bytes, 3 records\n";
}
// The line that says the small journal's FJL file was written.
inline std::string WrittenLine(const std::string& file, const std::vector<std::string>& lines = SmallJournalLines()) {
  return file + " written: " + std::to_string(lines.size()) + " lines, " + std::to_string(FjlBytes(lines).size()) +
         " bytes, all 15 records of the tape restored\n";
}

// The CLI run in-process, with what it wrote.
struct CliResult {
  ExitStatus status = kExitUsage;
  std::string out;
  std::string err;
  std::vector<std::string> err_writes;  // one entry per write
};

// `kept`: the user's folder of kept downloads; empty keeps nothing.
inline CliResult RunCliWith(const std::vector<std::string>& args, serial::ChannelOpener opener = {},
                            bool terminal = false, const RunStop* stop = nullptr,
                            std::vector<std::string> extra_ports = {}, std::filesystem::path kept = {},
                            Language language = Language::English) {
  CliResult result;
  CliEnvironment env{[&result](std::string_view t) { result.out += t; },
                     [&result](std::string_view t) {
                       result.err += t;
                       result.err_writes.emplace_back(t);
                     },
                     terminal, std::move(opener), stop, std::move(extra_ports), std::move(kept), language};
  result.status = RunCli(args, env);
  return result;
}

}  // namespace fjl::cli::testing
