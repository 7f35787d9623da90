#ifndef KELVADOR_RECORDS_TEMP_FILES_H_
#define KELVADOR_RECORDS_TEMP_FILES_H_

#include <string>
#include <string_view>

#include "platform/paths.h"  // SplitTargetName

namespace kelvador {

// Temporary files live beside the file they serve and are named
// ".<name>.kelvador-<pid>-<kind><6 random characters>", so that they are never
// mistaken for download files and a later run can tell whose they were.

// Creates a new, empty temporary file (mode 0600, close-on-exec) in `folder`,
// named after `base` and `kind`. Returns its descriptor and *path, or -1 with
// errno set when it cannot be created.
int CreateTempFile(const std::string& folder, std::string_view base, std::string_view kind,
                   std::string* path);

// Creates a temporary file as above and removes its name at once, so the space
// goes back to the system however the process ends. Returns the descriptor
// (read and write) or -1.
int CreateAnonymousTempFile(const std::string& folder, std::string_view base);

// Removes from `folder` the temporary files of this program whose process no
// longer exists (left behind by a killed run) and that belong to this user.
// Files of live processes, and everything else, are left alone.
void RemoveAbandonedTempFiles(const std::string& folder);

// Remembers `path` so that it is removed when the process ends by SIGINT,
// SIGTERM, SIGHUP, SIGPIPE or SIGXFSZ. Returns a slot for ForgetTempFile, or -1
// when every slot is taken (the file is then removed on normal endings only).
int RememberTempFile(const std::string& path);

// Forgets the path of `slot` (after the file was renamed or removed); -1 is ignored.
void ForgetTempFile(int slot);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_TEMP_FILES_H_
