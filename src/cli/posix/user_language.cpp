#include "cli/user_language.h"

#include <cstdlib>

namespace fjl::cli {

// The order setlocale(LC_MESSAGES, "") follows: the first that is set and
// not empty decides, and none at all is the C locale.
Language UserLanguage() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LanguageOfLocale(value);
  }
  return Language::English;
}

std::string_view PlatformName() { return "posix"; }

}  // namespace fjl::cli
