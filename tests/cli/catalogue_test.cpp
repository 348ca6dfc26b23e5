// The CLI's catalogues: what a translator's edit must keep, and the texts
// that differ between Linux and Windows.

#include "cli/catalogue.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>
#include <set>
#include <string>

#include "cli/cli_options.h"
#include "cli/run_report.h"

namespace fjl::cli {
namespace {

std::set<std::string> Names(const std::string& text) {
  static const std::regex kName("\\{([a-z_]+)\\}");
  std::set<std::string> names;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kName); it != std::sregex_iterator(); ++it) {
    names.insert((*it)[1]);
  }
  return names;
}

// Every key in both languages on both systems, each with the same {names}:
// a key missing from one shows as the key itself, a name lost as a gap.
TEST(Catalogue, BothLanguagesHaveTheSameKeysAndNames) {
  for (const char* platform : {"posix", "windows"}) {
    SCOPED_TRACE(platform);
    const Catalogue english(CatalogueSource(Language::English), platform);
    const Catalogue russian(CatalogueSource(Language::Russian), platform);
    ASSERT_GT(english.Entries().size(), 50u);
    for (const auto& [key, text] : english.Entries()) {
      const std::optional<std::string> translated = russian.Find(key);
      ASSERT_TRUE(translated.has_value()) << key;
      EXPECT_EQ(Names(*translated), Names(text)) << key;
    }
    EXPECT_EQ(russian.Entries().size(), english.Entries().size());
  }
}

TEST(Catalogue, FillsNamesAndPicksThePlatformsVariant) {
  const Catalogue texts("# a comment\n"
                        "plain = {who} met {who} at {where}, {unknown} stays\n"
                        "advice@posix = use dialout\n"
                        "advice@windows = close the other program\n"
                        "block <<\n"
                        "  two lines,\n"
                        "blanks kept\n"
                        ">>\n",
                        "windows");
  EXPECT_EQ(texts.Text("plain", {{"who", "Ann"}, {"where", "COM3"}}), "Ann met Ann at COM3, {unknown} stays");
  EXPECT_EQ(texts.Text("advice"), "close the other program");
  EXPECT_EQ(texts.Text("block"), "  two lines,\nblanks kept\n");
  EXPECT_EQ(texts.Text("missing.key"), "missing.key");
  EXPECT_FALSE(texts.Find("advice@posix").has_value());
}

// Windows has no dialout group and no /dev: its advice and help say what
// fits there, in both languages.
TEST(Catalogue, WindowsGetsWindowsAdvice) {
  for (const Language language : {Language::English, Language::Russian}) {
    const Catalogue windows(CatalogueSource(language), "windows");
    const Catalogue posix(CatalogueSource(language), "posix");
    const std::string help = UsageText(windows);
    EXPECT_EQ(help.find("dialout"), std::string::npos) << help;
    EXPECT_EQ(help.find("/dev/"), std::string::npos) << help;
    EXPECT_NE(help.find("--port COM3"), std::string::npos) << help;
    EXPECT_EQ(PortOpenReason(platform::SystemResult::FromErrno(EACCES), windows).find("dialout"), std::string::npos);
    EXPECT_NE(PortOpenReason(platform::SystemResult::FromErrno(EACCES), posix).find("sudo usermod -aG dialout $USER"), std::string::npos);
  }
}

TEST(UserLanguage, RussianAndUkrainianWindowsInterfacesReadRussian) {
  const std::pair<std::uint16_t, Language> cases[] = {
      {0x0419, Language::Russian},  // ru-RU
      {0x0819, Language::Russian},  // ru-MD
      {0x0422, Language::Russian},  // uk-UA
      {0x0409, Language::English},  // en-US
      {0x0423, Language::English},  // be-BY
      {0x0407, Language::English},  // de-DE
  };
  for (const auto& [lang_id, language] : cases) EXPECT_EQ(LanguageOfLangId(lang_id), language) << lang_id;
}

}  // namespace
}  // namespace fjl::cli
