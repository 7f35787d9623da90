// Hand-written on purpose: the INI library Debian offers (inih) cuts a value at
// an inline ";" and joins indented lines to the key above them. Definition
// files hold SQL text, where ";" and indentation are ordinary content, so that
// library would silently change the statements that existing files define.
#include "definition/profile_text.h"

#include <utility>

namespace kelvador {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Names compare ignoring ASCII case; other bytes compare as they are.
std::string FoldName(std::string_view name) {
  std::string folded(Trim(name));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// True when one pair of equal double or single quotes encloses the whole value.
bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

// The value as the platform's profile call hands it out in a buffer of `size`:
// a quoted value loses its opening quote, is cut to size - 1 characters with
// its closing quote still on, and then loses its last character when the
// buffer held everything up to that quote. So a quoted value that exactly fills
// the buffer comes out one character short ("CHAR" in 5 bytes reads CHA), as
// definition files written for the platform call have always read.
std::string CopyEntry(std::string_view value, std::size_t size) {
  if (!IsQuoted(value)) return std::string(value.substr(0, size - 1));
  const std::string_view after_quote = value.substr(1);
  std::string copy(after_quote.substr(0, size - 1));
  if (!copy.empty() && size >= after_quote.size()) copy.pop_back();
  return copy;
}

}  // namespace

ProfileText::ProfileText(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());

  Keys* current = nullptr;  // none before the first header and inside repeated sections
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);

    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        auto [section, inserted] = sections_.try_emplace(FoldName(line.substr(1, close - 1)));
        current = inserted ? &section->second : nullptr;
        continue;
      }
    }
    if (current == nullptr) continue;

    const std::size_t equals = line.find('=');
    std::string_view name = line.substr(0, equals);
    std::string_view value;
    if (equals != std::string_view::npos) value = Trim(line.substr(equals + 1));
    current->try_emplace(FoldName(name), value);
  }
}

std::string ProfileText::GetString(std::string_view section, std::string_view key,
                                   std::size_t size) const {
  if (size == 0) return {};
  const auto found_section = sections_.find(FoldName(section));
  if (found_section == sections_.end()) return {};
  const auto found_key = found_section->second.find(FoldName(key));
  if (found_key == found_section->second.end()) return {};
  return CopyEntry(found_key->second, size);
}

}  // namespace kelvador
