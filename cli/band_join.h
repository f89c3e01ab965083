#pragma once

namespace cli {

struct Options;

// --join: assembles the parts of a split render. With -o, image bands (in any
// order) into the full image; with --avi, frame images (in the order given)
// into a video, as one process would have written it. Every problem is
// reported on std::cerr naming the part; the exit status.
int joinParts(const Options& options);

}  // namespace cli
