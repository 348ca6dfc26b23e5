#include "cli/user_language.h"

#include <windows.h>

namespace fjl::cli {

// The language of the user's Windows interface (Windows 2000 and later),
// not the locale's formats: a Russian user may well have English menus.
Language UserLanguage() { return LanguageOfLangId(::GetUserDefaultUILanguage()); }

std::string_view PlatformName() { return "windows"; }

}  // namespace fjl::cli
