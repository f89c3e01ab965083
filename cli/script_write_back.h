#pragma once

#include <string>

namespace cli {

// --update-script: replaces the script file's bytes `read` (as read before
// the build) by `rewritten`. A file that changed meanwhile is left alone
// with a warning, so that an edit saved during the build is not lost; a
// file without its owner's write permission is not replaced. The exit
// status: `buildStatus`, or kUsage when the file cannot be replaced.
int writeBackScript(const std::string& path, const std::string& read, const std::string& rewritten,
                    int buildStatus);

}  // namespace cli
