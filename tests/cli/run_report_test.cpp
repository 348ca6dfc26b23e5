#include "cli/run_report.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace fjl::cli {
namespace {

const Catalogue kEnglish(CatalogueSource(Language::English), "posix");
const Catalogue kRussian(CatalogueSource(Language::Russian), "posix");

TEST(PortOpenReason, NamesTheCauseAndWhatToDo) {
  const std::pair<int, const char*> cases[] = {
      {EACCES,
       "Причина: нет прав на порт. Добавьте пользователя в группу dialout: "
       "sudo usermod -aG dialout $USER, затем войдите в систему заново."},
      {EPERM,
       "Причина: нет прав на порт. Добавьте пользователя в группу dialout: "
       "sudo usermod -aG dialout $USER, затем войдите в систему заново."},
      {EBUSY, "Причина: порт занят другой программой."},
      {ENOTTY, "Причина: это не последовательный порт."},
  };
  for (const auto& [error, reason] : cases) {
    EXPECT_EQ(PortOpenReason(platform::SystemResult::FromErrno(error), kRussian), reason) << error;
  }
  // A denied open the port layer knows to mean another holder is told as busy.
  EXPECT_EQ(PortOpenReason(platform::SystemResult::FromErrno(EACCES).As(platform::ErrorKind::Busy), kRussian),
            "Причина: порт занят другой программой.");
  // Anything else falls back on the system's own text, never an empty reason.
  const platform::SystemResult io_error = platform::SystemResult::FromErrno(EIO);
  EXPECT_EQ(PortOpenReason(io_error, kRussian), "Причина: " + io_error.Text() + ".");
}

TEST(IncompleteReasons, EveryGapIsNamedInOrder) {
  tape::TapeData tape;
  restore::RestorationState state;
  tape.EndMarkerFound = true;
  EXPECT_TRUE(IncompleteReasons(tape, state, kEnglish).empty());

  tape.EndMarkerFound = false;
  state.TaxGroupsNotRead = {"Б", "Д"};
  state.LineLost = true;
  EXPECT_EQ(IncompleteReport(IncompleteReasons(tape, state, kEnglish), kEnglish),
            "fjl-restore-cli: the FJL file was written, but it may be incomplete: the tape ended without its end "
            "marker; tax group Б not read; tax group Д not read; the port went away.");
}

}  // namespace
}  // namespace fjl::cli
