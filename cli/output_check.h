#pragma once

namespace cli {

struct Options;

// Before a build: whether every file that the options ask for (-o, --depth,
// --avi or --video, the --frames folder, --mesh, --vdb) can be created, so that a long build is not
// thrown away for want of a folder. Reports each that cannot on std::cerr.
bool outputsWritable(const Options& options);

}  // namespace cli
