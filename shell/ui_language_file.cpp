#include "ui_language_file.h"

#include <fstream>

#include "script_file.h"
#include "ui_identifiers.h"

namespace shell {

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The key and value of one line; nothing for comments and lines without "=".
std::optional<std::pair<std::string, std::string>> parseLine(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::nullopt;
  line.remove_prefix(start);
  if (line.starts_with('#') || line.starts_with(';') || line.starts_with("//")) return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;

  std::string_view value = line.substr(equals);
  value.remove_prefix(std::min(value.find_first_not_of("= \t\r\n"), value.size()));
  value = value.substr(0, value.find_first_of("\r\n"));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  std::string text(value);
  // One pass each, in this order: "\\t" thus becomes a backslash and a tab.
  replaceAll(text, "\\t", "\t");
  replaceAll(text, "\\n", "\n");
  replaceAll(text, "\\\\", "\\");
  return std::pair{std::string(line.substr(0, equals)), std::move(text)};
}

bool isUntranslatedMenuCommand(int id) {
  const bool recentFile = id >= 57616 && id < 57632;
  const bool fixedImageSize = id >= 32792 && id < 32797;
  return id <= 0 || recentFile || fixedImageSize;
}

}  // namespace

bool UiLanguageFile::load(const std::filesystem::path& directory) {
  std::ifstream in(directory / kLanguageFileName, std::ios::binary);
  return in && read(in);
}

bool UiLanguageFile::read(std::istream& in) {
  for (std::string line; readTextLine(in, line);) {
    if (line.size() > kMaxLanguageLineLength) return false;
    if (auto entry = parseLine(line)) translations_[entry->first] = std::move(entry->second);
  }
  return true;
}

std::optional<std::string> UiLanguageFile::find(std::string_view key) const {
  const auto found = translations_.find(key);
  if (found == translations_.end()) return std::nullopt;
  return found->second;
}

std::string UiLanguageFile::lookup(std::string_view context, std::string_view item,
                                   std::string_view fallback) const {
  std::string key(context);
  key += '.';
  key += item.empty() ? "CAPTION" : item;
  return find(key).value_or(std::string(fallback));
}

std::string UiLanguageFile::lookupById(std::string_view context, int id,
                                       std::string_view fallback) const {
  const std::optional<std::string_view> name = uiIdentifierName(id);
  return name ? lookup(context, *name, fallback) : std::string(fallback);
}

std::string UiLanguageFile::menuItemText(int id, const std::string& text) const {
  if (isUntranslatedMenuCommand(id)) return text;
  const std::optional<std::string_view> name = uiIdentifierName(id);
  if (!name) return text;
  std::optional<std::string> translated = find("MENU." + std::string(*name));
  if (!translated) return text;
  const size_t tab = text.find('\t');
  if (tab != std::string::npos) *translated += text.substr(tab);
  return *translated;
}

std::optional<std::string> UiLanguageFile::dialogItemText(std::string_view dialog, int id) const {
  std::optional<std::string_view> item;
  if (id == 1) {
    item = "OK";
  } else if (id == 2) {
    item = "CANCEL";
  } else if (id != 0 && id != -1) {
    item = uiIdentifierName(id);
  }
  if (!item) return std::nullopt;
  if (auto text = find(std::string(dialog) + "." + std::string(*item))) return text;
  return find(*item);
}

}  // namespace shell
