#pragma once
// The CLI's own texts, one catalogue per language. Each language is a plain
// text file under texts/ that a translator edits without reading C++; the
// build compiles it into the program, so the executable needs no file beside
// it. The printer's and the windows' messages are not in it: they are the
// system's own words and never change with the language.

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "cli/user_language.h"

namespace fjl::cli {

// One {name} of a text and what takes its place.
struct TextArg {
  std::string_view name;
  std::string value;
};

class Catalogue {
 public:
  // `source` in the format of texts/en.txt; `platform` picks the "key@platform"
  // variants ("posix", "windows").
  Catalogue(std::string_view source, std::string_view platform);

  // The catalogue of `language` for the platform this program runs on.
  static const Catalogue& For(Language language);
  static const Catalogue& English() { return For(Language::English); }

  // The text of `key` with each {name} of `args` filled in. A key the
  // catalogue lacks gives the key itself, so a gap shows without hiding
  // the rest of the message.
  std::string Text(std::string_view key, std::initializer_list<TextArg> args = {}) const;
  // The text of `key`, or nullopt when the catalogue has none.
  std::optional<std::string> Find(std::string_view key) const;

  // Every key with the text this platform gets, for checking catalogues
  // against each other.
  const std::map<std::string, std::string, std::less<>>& Entries() const { return entries_; }

 private:
  std::map<std::string, std::string, std::less<>> entries_;
};

// The source text of each language's catalogue, compiled in from texts/.
std::string_view CatalogueSource(Language language);

}  // namespace fjl::cli
