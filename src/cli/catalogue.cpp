#include "cli/catalogue.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace fjl::cli {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The next line of `source` from `at`, without its line end; `at` moves past it.
std::string_view NextLine(std::string_view source, std::size_t& at) {
  const std::size_t end = std::min(source.find('\n', at), source.size());
  std::string_view line = source.substr(at, end - at);
  at = end + 1;
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// key = text, or key << ... >> for a text of several lines; # begins a comment.
std::map<std::string, std::string, std::less<>> Parse(std::string_view source) {
  std::map<std::string, std::string, std::less<>> entries;
  std::size_t at = 0;
  while (at < source.size()) {
    const std::string_view line = Trim(NextLine(source, at));
    if (line.empty() || line.front() == '#') continue;
    if (line.ends_with("<<")) {
      std::string text;
      bool closed = false;
      while (at < source.size()) {
        const std::string_view body = NextLine(source, at);
        if (Trim(body) == ">>") {
          closed = true;
          break;
        }
        text.append(body).push_back('\n');
      }
      if (!closed) throw std::invalid_argument("catalogue: no >> after " + std::string(line));
      entries[std::string(Trim(line.substr(0, line.size() - 2)))] = std::move(text);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) throw std::invalid_argument("catalogue: no = in " + std::string(line));
    entries[std::string(Trim(line.substr(0, eq)))] = std::string(Trim(line.substr(eq + 1)));
  }
  return entries;
}

}  // namespace

Catalogue::Catalogue(std::string_view source, std::string_view platform) {
  std::map<std::string, std::string, std::less<>> parsed = Parse(source);
  // A platform's own variant takes the plain key's place; other platforms'
  // variants are dropped.
  for (auto& [key, text] : parsed) {
    const std::size_t at = key.find('@');
    if (at == std::string::npos) {
      entries_.try_emplace(key, std::move(text));
    } else if (std::string_view(key).substr(at + 1) == platform) {
      entries_.insert_or_assign(key.substr(0, at), std::move(text));
    }
  }
}

const Catalogue& Catalogue::For(Language language) {
  // Parsed once each, then only read.
  static const Catalogue english(CatalogueSource(Language::English), PlatformName());
  static const Catalogue russian(CatalogueSource(Language::Russian), PlatformName());
  return language == Language::Russian ? russian : english;
}

std::optional<std::string> Catalogue::Find(std::string_view key) const {
  const auto found = entries_.find(key);
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

std::string Catalogue::Text(std::string_view key, std::initializer_list<TextArg> args) const {
  const auto found = entries_.find(key);
  if (found == entries_.end()) return std::string(key);
  const std::string& pattern = found->second;
  std::string text;
  std::size_t at = 0;
  while (at < pattern.size()) {
    const std::size_t open = pattern.find('{', at);
    const std::size_t close = open == std::string::npos ? open : pattern.find('}', open);
    if (close == std::string::npos) break;
    text.append(pattern, at, open - at);
    const std::string_view name = std::string_view(pattern).substr(open + 1, close - open - 1);
    const TextArg* arg = nullptr;
    for (const TextArg& candidate : args) {
      if (candidate.name == name) arg = &candidate;
    }
    if (arg != nullptr) {
      text += arg->value;
    } else {
      text.append(pattern, open, close - open + 1);
    }
    at = close + 1;
  }
  text.append(pattern, std::min(at, pattern.size()));
  return text;
}

}  // namespace fjl::cli
