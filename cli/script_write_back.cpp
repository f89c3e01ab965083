#include "script_write_back.h"

#include <filesystem>
#include <iostream>

#include "exit_codes.h"
#include "file_errors.h"
#include "shell/atomic_file.h"
#include "shell/limited_read.h"

namespace cli {

namespace fs = std::filesystem;

int writeBackScript(const std::string& path, const std::string& read, const std::string& rewritten,
                    int buildStatus) {
  const shell::LimitedRead now = shell::readFileLimited(path);
  if (!now.ok() || now.bytes != read) {
    std::cerr << "zentarel3d-cli: warning: script file '" << path
              << "' changed during the build; the new camera is not written to it" << std::endl;
    return buildStatus;
  }
  std::error_code failure;
  const fs::perms permissions = fs::status(path, failure).permissions();
  if (!failure && (permissions & fs::perms::owner_write) == fs::perms::none) {
    reportUnwritable("script", path, "the file is read-only (its owner may not write it)");
    return kUsage;
  }
  const std::string reason = shell::writeFileAtomically(path, rewritten);
  if (reason.empty()) return buildStatus;
  reportUnwritable("script", path, reason);
  return kUsage;
}

}  // namespace cli
