#ifndef KELVADOR_PLATFORM_FILE_LOOKUP_H_
#define KELVADOR_PLATFORM_FILE_LOOKUP_H_

#include <string>

namespace kelvador {

// Installations are copied from Windows, where letter case in file names does
// not count. Returns `path` when it names an existing entry; otherwise the path
// of the first entry (in byte order) of the same folder whose name equals the
// file name ignoring ASCII case; otherwise `path` unchanged, so that opening it
// fails as it would have. Only the last component is matched loosely.
std::string ResolveFileName(const std::string& path);

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_FILE_LOOKUP_H_
