#include "script_write_back.h"

#include <filesystem>
#include <iostream>

#include "exit_codes.h"
#include "file_errors.h"
#include "shell/atomic_file.h"
#include "shell/limited_read.h"
#include "shell/platform.h"

namespace cli {

namespace fs = std::filesystem;

int writeBackScript(const std::string& path, const std::string& read, const std::string& rewritten,
                    int buildStatus) {
  const fs::path file = shell::pathFromUtf8(path);
  const shell::LimitedRead now = shell::readFileLimited(file);
  if (!now.ok() || now.bytes != read) {
    std::cerr << "zentarel3d-cli: warning: script file '" << path
              << "' changed during the build; the new camera is not written to it" << std::endl;
    return buildStatus;
  }
  std::error_code failure;
  const fs::perms permissions = fs::status(file, failure).permissions();
  if (!failure && (permissions & fs::perms::owner_write) == fs::perms::none) {
    reportUnwritable("script", path, "the file is read-only (its owner may not write it)");
    return kUsage;
  }
  const std::string reason = shell::writeFileAtomically(file, rewritten);
  if (reason.empty()) return buildStatus;
  reportUnwritable("script", path, reason);
  return kUsage;
}

}  // namespace cli
