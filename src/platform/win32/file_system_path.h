#pragma once

#include <optional>
#include <string>

namespace velstrand {

// `path` as it is handed to the file system: in its extended-length form, relative forms read against this
// process's current folder, so that a default Windows does not refuse it for being longer than MAX_PATH. No
// result when it has no such form.
std::optional<std::wstring> FileSystemPath(const std::wstring& path);

}  // namespace velstrand
