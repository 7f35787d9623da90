#ifndef KELVADOR_SETTINGS_SETTINGS_TOOL_PLATFORM_H_
#define KELVADOR_SETTINGS_SETTINGS_TOOL_PLATFORM_H_

#include <string>
#include <string_view>

// The few operating-system services kelvador-settings needs beyond the
// standard library, with a POSIX and a Windows implementation.
namespace kelvador {

// Reads a value from standard input. On a terminal: one line, typed without
// echo, after `prompt` on standard error. Otherwise: everything up to the end of
// the input. One trailing line end is dropped. Returns 0, or -1 on a read error.
int ReadSecretInput(const std::string& prompt, std::string* value);

// Replaces the file `path` (or the file a symbolic link there points to) with
// `content`: written to a temporary file in the same folder, flushed to disk and
// renamed over the old one, so readers see the old or the new file, never a
// part. The new file gets the old file's permissions, 0600 when there was none.
// Returns 0; -1 with `*error` set, the old file untouched.
int ReplaceFileAtomically(const std::string& path, std::string_view content, std::string* error);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_SETTINGS_TOOL_PLATFORM_H_
