#ifndef KELVADOR_DEFINITION_PROFILE_TEXT_H_
#define KELVADOR_DEFINITION_PROFILE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "definition/profile_source.h"

namespace kelvador {

// The sections and keys of an initialization file held in memory, answering
// lookups by the Windows profile rules the definition files were written for:
// - section and key names match ignoring ASCII letter case; the first section
//   of a name and the first key of a name within it win;
// - blanks and tabs around names and values are trimmed;
// - a line whose first non-blank character is ";" is a comment; there are no
//   inline comments, so ";" inside a value is kept;
// - "[ SEC ]" names the section SEC, the name running to the last "]" of the
//   line; a line starting with "[" but without "]" is an ordinary key line;
// - a line without "=" inside a section is a key with an empty value; lines
//   before the first section header belong to no section;
// - a UTF-8 byte-order mark at the start is skipped; a CR ending a line is
//   dropped; other bytes are kept as they are;
// - a value is trimmed, loses one pair of matching enclosing double or single
//   quotes and is cut to size - 1 characters; as in the platform call, the cut
//   counts the closing quote, so a quoted value that exactly fills the buffer
//   comes out one character short.
class ProfileText : public ProfileSource {
 public:
  // Parses `text`, the whole content of an initialization file, once.
  explicit ProfileText(std::string_view text);

  std::string GetString(std::string_view section, std::string_view key,
                        std::size_t size) const override;

 private:
  // Key name folded to lower case -> value as trimmed (still quoted).
  using Keys = std::unordered_map<std::string, std::string>;
  // Section name folded to lower case -> its keys.
  std::unordered_map<std::string, Keys> sections_;
};

}  // namespace kelvador

#endif  // KELVADOR_DEFINITION_PROFILE_TEXT_H_
