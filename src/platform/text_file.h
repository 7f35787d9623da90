#ifndef KELVADOR_PLATFORM_TEXT_FILE_H_
#define KELVADOR_PLATFORM_TEXT_FILE_H_

#include <cstdio>
#include <string>

namespace kelvador {

// How a text file is opened: reading ("rt"), writing from empty ("w") or
// appending ("a").
enum class TextMode { kRead, kWrite, kAppend };

// Opens `path` as a text stream. On Windows the stream translates line ends:
// a carriage return before a line feed is dropped when reading, and every line
// feed written becomes carriage return and line feed. On Linux the bytes pass
// unchanged. Returns null when the file cannot be opened; the caller closes it.
std::FILE* OpenTextFile(const std::string& path, TextMode mode);

// Switches an open stream (for instance one made from a temporary file) to the
// text translation that OpenTextFile gives. Returns 0, or -1 when it fails.
int UseTextMode(std::FILE* file);

// Renames `from` to `to`, replacing an existing `to` in one step, so readers
// see either the old file or the new one. Returns 0, or -1 when it fails (both
// files are then left as they were).
int ReplaceFileWith(const std::string& from, const std::string& to);

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_TEXT_FILE_H_
