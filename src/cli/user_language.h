#pragma once
// Which language the user reads: the CLI's own texts follow it.

#include <cstdint>
#include <string_view>

namespace fjl::cli {

enum class Language { English, Russian };

// The language of a POSIX locale name such as "ru_RU.UTF-8": Russian for
// Russian and Ukrainian users whose terminal takes UTF-8, English for
// everything else. "C", "POSIX" and a locale without UTF-8 get English,
// because the Russian texts would be garbage on such a terminal.
Language LanguageOfLocale(std::string_view locale);

// The language of a Windows language identifier (LANGID): Russian for
// Russian and Ukrainian, English otherwise. The console is written in
// UTF-16 there, so every language shows.
Language LanguageOfLangId(std::uint16_t lang_id);

// The user's language on this system: on Linux the locale that governs
// messages (LC_ALL, then LC_MESSAGES, then LANG), on Windows the user's
// interface language.
Language UserLanguage();

// "posix" or "windows": which variants of the catalogue's texts fit here.
std::string_view PlatformName();

}  // namespace fjl::cli
