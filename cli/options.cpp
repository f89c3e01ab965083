#include "options.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "gnu_words.h"
#include "image_output.h"
#include "lang/variable_name.h"
#include "mesh/mesh_format.h"
#include "shell/file_extension.h"
#include "shell/frame_pattern.h"
#include "shell/limited_read.h"
#include "shell/version.h"
#include "shell/video_codecs.h"

namespace cli {

namespace {

// Enough for any machine this runs on; more would only waste memory.
constexpr int kMaxThreads = 1024;
// A slab of the voxel walk holds 8 layers of the grid's cross-section.
constexpr int kMaxVoxels = 16384;

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

bool parseNumberIn(const std::string& text, int low, int high, int& value) {
  return parseNumber(text, value) && value >= low && value <= high;
}

// "WxH" with both sides from 1 to 65535.
bool parseSize(const std::string& text, uint32_t& width, uint32_t& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return parseNumber(text.substr(0, x), width) && parseNumber(text.substr(x + 1), height) &&
         width >= 1 && height >= 1 && width <= 65535 && height <= 65535;
}

// A string literal as the lexer reads it, without escapes: "text".
bool isPlainString(const std::string& text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
         text.find_first_of("\"\\", 1) == text.size() - 1;
}

// "NAME=VALUE" of -D into the definitions: a number becomes a variable, a
// string an alias for its literal. The complaint, or an empty string.
std::string addDefinition(const std::string& text, lang::BuildDriver::Definitions& definitions) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  if (equals == std::string::npos || !lang::isVariableName(name))
    return "-D needs NAME=VALUE with NAME a variable name (not a keyword), not '" + text + "'";
  const std::string value = text.substr(equals + 1);
  double number = 0;
  definitions.variables.erase(name);
  definitions.aliases.erase(name);
  if (isPlainString(value)) {
    definitions.aliases[name] = value;
  } else if (parseNumber(value, number) && std::isfinite(number)) {
    definitions.variables[name].setReal(number);
  } else {
    return "-D " + name + " needs a number or a string in double quotes, not '" + value + "'";
  }
  return {};
}

std::string codecNames(shell::VideoContainer container = shell::VideoContainer::Avi) {
  std::string names;
  for (const shell::VideoCodecInfo& codec : shell::availableVideoCodecs(container)) {
    names += (names.empty() ? "" : ", ") + codec.name;
  }
  return names;
}

// A file option whose value must end in `extension`; the complaint, or an
// empty string.
std::string extensionComplaint(const std::string& option, const std::string& file,
                               std::string_view extension) {
  if (shell::hasExtension(file, extension)) return {};
  return option + " needs a file name ending in " + std::string(extension) + ", not '" + file + "'";
}

// The file of --avi (an AVI file whatever its name) or --video (by its
// extension) into the options; the complaint, or an empty string.
std::string takeVideoFile(const std::string& option, std::string& videoOption, Options& options) {
  if (!videoOption.empty() && videoOption != option) return "--avi and --video exclude each other";
  videoOption = option;
  if (option == "--avi") return {};
  const std::optional<shell::VideoContainer> container = shell::videoContainerOf(options.videoFile);
  if (!container)
    return "--video needs a file name ending in .mp4, .mkv, .webm or .avi, not '" +
           options.videoFile + "'";
  options.videoContainer = *container;
  return {};
}

// The codecs of a container for --help, one a line.
std::string codecLines(shell::VideoContainer container) {
  std::string lines;
  for (const shell::VideoCodecInfo& codec : shell::availableVideoCodecs(container)) {
    const size_t pad = codec.name.size() < 12 ? 12 - codec.name.size() : 1;
    lines += "  " + codec.name + std::string(pad, ' ') + codec.description +
             (codec.takesQuality ? " (takes --quality)" : "") + "\n";
  }
  return lines;
}

// The combinations that make no sense; an empty string when there is none.
std::string conflictIn(const Options& options, bool codecGiven, bool qualityGiven, bool fpsGiven,
                       bool voxelsGiven, bool meshTuned) {
  const bool fromSample = options.sample.has_value();
  if (options.listTokens && options.dumpScene)
    return "--tokens and --dump-scene exclude each other";
  const bool stillOutput = !options.imageFile.empty() || !options.depthFile.empty();
  if ((options.listTokens || options.dumpScene) &&
      (stillOutput || !options.videoFile.empty() || !options.framePattern.empty() ||
       options.updateScript)) {
    return "-o, --depth, --avi, --video, --frames and --update-script need a render, not "
           "--tokens or --dump-scene";
  }
  if (fromSample && !options.script.empty())
    return "--sample builds a sample, not the script '" + options.script + "'";
  if (options.updateScript && (fromSample || options.script == "-"))
    return "--update-script needs a script file, not standard input or a sample";
  if (!options.samplesFile.empty() && !fromSample && !options.listSamples)
    return "--samples needs --sample or --list-samples";
  if (options.join) {
    if (fromSample || options.parts.empty()) return "--join needs the parts to join";
    if (options.imageFile.empty() == options.videoFile.empty())
      return "--join needs either -o, --avi or --video";
    if (options.frameRange || options.part || options.countFrames ||
        !options.framePattern.empty() || !options.depthFile.empty())
      return "--join takes no --frame-range, --part, --count-frames, --frames or --depth";
  } else if (options.parts.size() > 1) {
    return "only one script can be built, not '" + options.parts[0] + "' and '" + options.parts[1] +
           "'";
  }
  if (fpsGiven && (!options.join || options.videoFile.empty()))
    return "--fps is the rate of --join --avi; a script sets its own with fps";
  if (options.countFrames && (options.frameRange || options.part || stillOutput ||
                              !options.videoFile.empty() || !options.framePattern.empty()))
    return "--count-frames renders nothing: no -o, --depth, --avi, --video, --frames, "
           "--frame-range or --part";
  if (options.frameRange && options.videoFile.empty() && options.framePattern.empty() &&
      !options.exportsAttractor())
    return "--frame-range needs --avi, --video, --frames, --mesh or --vdb";
  if (options.exportsAttractor() &&
      (stillOutput || !options.videoFile.empty() || !options.framePattern.empty() || options.part ||
       options.countFrames || options.listTokens || options.dumpScene || options.join))
    return "--mesh and --vdb take the place of the picture: no -o, --depth, --avi, --video, "
           "--frames, --part, --count-frames, --tokens, --dump-scene or --join";
  if (voxelsGiven && !options.exportsAttractor()) return "--voxels needs --mesh or --vdb";
  if (meshTuned && options.meshFile.empty())
    return "--mesh-scale and --mesh-adaptivity need --mesh";
  if (options.part && imageFormatOf(options.imageFile) != ImageFormat::Png)
    return "--part needs -o FILE.png";
  if (options.part &&
      (options.frameRange || !options.videoFile.empty() || !options.framePattern.empty() ||
       options.updateScript || !options.depthFile.empty()))
    return "--part renders one band of a still image: no --frame-range, --avi, --video, "
           "--frames, --depth or --update-script";
  if ((codecGiven || qualityGiven) && options.videoFile.empty())
    return "--codec and --quality need --avi or --video";
  if (options.videoFile.empty()) return {};
  if (options.videoCodec.empty()) {
    return std::string("this FFmpeg build has no encoder for ") +
           shell::videoExtension(options.videoContainer) + " files";
  }
  const std::optional<shell::VideoCodecInfo> codec =
      shell::findVideoCodec(options.videoCodec, options.videoContainer);
  if (!codec) {
    return "unknown codec '" + options.videoCodec + "' for " +
           shell::videoExtension(options.videoContainer) +
           " files; available: " + codecNames(options.videoContainer);
  }
  if (qualityGiven && !codec->takesQuality) return "codec " + codec->name + " takes no --quality";
  return {};
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& commandLine,
                                    std::string& error) {
  Options options;
  bool codecGiven = false, qualityGiven = false, fpsGiven = false;
  std::string videoOption;  // --avi or --video, whichever names the video
  bool voxelsGiven = false, meshTuned = false;
  const Words words = spellOut(commandLine);
  const std::vector<std::string>& args = words.options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The value of an option that takes one.
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "-v" || arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--tokens") {
      options.listTokens = true;
    } else if (arg == "--dump-scene") {
      options.dumpScene = true;
    } else if (arg == "--update-script") {
      options.updateScript = true;
    } else if (arg == "--list-samples") {
      options.listSamples = true;
    } else if (arg == "--seed") {
      uint64_t seed = 0;
      if (!value(text)) return std::nullopt;
      if (!parseNumber(text, seed)) {
        error = "--seed needs a number from 0 up, not '" + text + "'";
        return std::nullopt;
      }
      options.seed = seed;
    } else if (arg == "-s" || arg == "--size") {
      if (!value(text)) return std::nullopt;
      if (!parseSize(text, options.width, options.height)) {
        error = "--size needs WIDTHxHEIGHT (1 to 65535 each), not '" + text + "'";
        return std::nullopt;
      }
      options.sizeGiven = true;
    } else if (arg == "--threads") {
      if (!value(text)) return std::nullopt;
      if (!parseNumberIn(text, 0, kMaxThreads, options.threads)) {
        error = "--threads needs a number from 0 (every core) to " + std::to_string(kMaxThreads) +
                ", not '" + text + "'";
        return std::nullopt;
      }
    } else if (arg == "-o") {
      if (!value(options.imageFile)) return std::nullopt;
      if (!imageFormatOf(options.imageFile)) {
        error = "-o needs a file name ending in .bmp or .png, not '" + options.imageFile + "'";
        return std::nullopt;
      }
    } else if (arg == "--avi" || arg == "--video") {
      if (!value(options.videoFile)) return std::nullopt;
      error = takeVideoFile(arg, videoOption, options);
      if (!error.empty()) return std::nullopt;
    } else if (arg == "--depth") {
      if (!value(options.depthFile)) return std::nullopt;
      error = extensionComplaint(arg, options.depthFile, ".exr");
      if (!error.empty()) return std::nullopt;
    } else if (arg == "--codec") {
      if (!value(options.videoCodec)) return std::nullopt;
      codecGiven = true;
    } else if (arg == "--quality") {
      if (!value(text)) return std::nullopt;
      if (!parseNumberIn(text, 1, 100, options.videoQuality)) {
        error = "--quality needs a number from 1 to 100, not '" + text + "'";
        return std::nullopt;
      }
      qualityGiven = true;
    } else if (arg == "--frames") {
      if (!value(options.framePattern)) return std::nullopt;
      if (!shell::FramePattern::parse(options.framePattern) ||
          !imageFormatOf(options.framePattern)) {
        error =
            "--frames needs a pattern with one number field such as frame%04d.png (.bmp or "
            ".png), not '" +
            options.framePattern + "'";
        return std::nullopt;
      }
    } else if (arg == "--mesh") {
      if (!value(options.meshFile)) return std::nullopt;
      if (!mesh::meshFormatOf(options.meshFile)) {
        error = "--mesh needs a file name ending in " + mesh::meshExtensions() + ", not '" +
                options.meshFile + "'";
        return std::nullopt;
      }
    } else if (arg == "--vdb") {
      if (!value(options.volumeFile)) return std::nullopt;
      error = extensionComplaint(arg, options.volumeFile, ".vdb");
      if (!error.empty()) return std::nullopt;
    } else if (arg == "--voxels") {
      if (!value(text)) return std::nullopt;
      if (!parseNumberIn(text, 1, kMaxVoxels, options.voxels)) {
        error = "--voxels needs a number from 1 to " + std::to_string(kMaxVoxels) + ", not '" +
                text + "'";
        return std::nullopt;
      }
      voxelsGiven = true;
    } else if (arg == "--mesh-scale") {
      if (!value(text)) return std::nullopt;
      if (!parseNumber(text, options.meshScale) || !(options.meshScale > 0) ||
          !std::isfinite(options.meshScale)) {
        error = "--mesh-scale needs a number above 0, not '" + text + "'";
        return std::nullopt;
      }
      meshTuned = true;
    } else if (arg == "--mesh-adaptivity") {
      if (!value(text)) return std::nullopt;
      if (!parseNumber(text, options.meshAdaptivity) ||
          !(options.meshAdaptivity >= 0 && options.meshAdaptivity <= 1)) {
        error = "--mesh-adaptivity needs a number from 0 to 1, not '" + text + "'";
        return std::nullopt;
      }
      meshTuned = true;
    } else if (arg == "--sample") {
      int ordinal = 0;
      if (!value(text)) return std::nullopt;
      if (!parseNumber(text, ordinal) || ordinal < 0) {
        error = "--sample needs a sample number from 0 up, not '" + text + "'";
        return std::nullopt;
      }
      options.sample = ordinal;
    } else if (arg == "--samples") {
      if (!value(options.samplesFile)) return std::nullopt;
    } else if (arg == "--frame-range") {
      if (!value(text)) return std::nullopt;
      options.frameRange = parseFrameRange(text);
      if (!options.frameRange) {
        error = "--frame-range needs FIRST-LAST or FIRST- (frames from 0), not '" + text + "'";
        return std::nullopt;
      }
    } else if (arg == "--part") {
      if (!value(text)) return std::nullopt;
      options.part = parseImagePart(text);
      if (!options.part) {
        error = "--part needs I/N with 0 <= I < N, not '" + text + "'";
        return std::nullopt;
      }
    } else if (arg == "-D" || arg == "--define") {
      if (!value(text)) return std::nullopt;
      error = addDefinition(text, options.definitions);
      if (!error.empty()) return std::nullopt;
    } else if (arg == "--count-frames") {
      options.countFrames = true;
    } else if (arg == "--join") {
      options.join = true;
    } else if (arg == "--fps") {
      if (!value(text)) return std::nullopt;
      if (!parseNumberIn(text, 1, 1000, options.framesPerSecond)) {
        error = "--fps needs a number from 1 to 1000, not '" + text + "'";
        return std::nullopt;
      }
      fpsGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else {
      options.parts.push_back(arg);
    }
  }
  options.parts.insert(options.parts.end(), words.operands.begin(), words.operands.end());
  if (videoOption == "--video" && !codecGiven) {
    const std::vector<shell::VideoCodecInfo> codecs =
        shell::availableVideoCodecs(options.videoContainer);
    options.videoCodec = codecs.empty() ? std::string() : codecs.front().name;
  }
  // One script, or with --join the parts.
  const bool haveScript = !options.parts.empty() && !options.join;
  if (haveScript) options.script = options.parts.front();
  // --help, --version and --list-samples do their job and stop.
  if (options.help || options.version) return options;
  if (!haveScript && !options.sample && !options.listSamples && !options.join) {
    error = "no script given";
    return std::nullopt;
  }
  error = conflictIn(options, codecGiven, qualityGiven, fpsGiven, voxelsGiven, meshTuned);
  if (!error.empty()) return std::nullopt;
  return options;
}

std::string usageText() {
  std::string text =
      "Usage: zentarel3d-cli [OPTIONS] [--] SCRIPT\n"
      "  or:  zentarel3d-cli [OPTIONS] --sample N\n"
      "  or:  zentarel3d-cli --list-samples\n"
      "  or:  zentarel3d-cli --join -o IMAGE BAND...\n"
      "  or:  zentarel3d-cli --join --avi FILE [--codec NAME] [--fps N] FRAME...\n"
      "Builds a Zentarel 3d scene script (SCRIPT '-' reads standard input).\n"
      "A PNG image that the program wrote carries its scene: given as SCRIPT, it builds\n"
      "that scene again, with the recorded random state and size unless --seed or -s\n"
      "say otherwise.\n"
      "Scripts and samples files are read up to " +
      std::to_string(shell::kInputLimit >> 20) +
      " MiB.\n"
      "Options with a value also take it as --size=WxH or -s64x48; short flags bundle\n"
      "(-vq); after -- every word is a script, even one starting with '-'.\n"
      "\n"
      "  -s, --size WxH        image size in pixels (default 320x240)\n"
      "  -o FILE               write the image of a successful build to FILE (.bmp or .png;\n"
      "                        a .png carries the scene, see above)\n"
      "      --depth FILE      write the depth buffer of a successful build to FILE.exr:\n"
      "                        OpenEXR, channel Z, 32-bit float, +inf where nothing was hit\n"
      "      --seed N          start the random generator at N (modulo 2^40)\n"
      "      --threads N       render threads (default 0: one per core)\n"
      "  -D, --define NAME=V   start the script with NAME set to V, a number (a variable)\n"
      "                        or a string in double quotes (an alias); repeatable\n"
      "  -v, --verbose         report start and duration of the build on standard error\n"
      "  -q, --quiet           print no echo lines, warnings or camera changes on standard\n"
      "                        output; errors still appear\n"
      "      --update-script   write a camera statement that the build rewrote back to SCRIPT\n"
      "      --avi FILE        write the frames of save_frame to the AVI video FILE\n"
      "      --video FILE      write the frames of save_frame to FILE.mp4, .mkv or .webm,\n"
      "                        with the codec the extension asks for (see below)\n"
      "      --codec NAME      video codec (default rawvideo for --avi, see below)\n"
      "      --quality Q       1 to 100 for the codecs that take a quality (default 75)\n"
      "      --frames PATTERN  write each frame to an image file, such as frame%04d.png\n"
      "      --frame-range F-L render only frames F to L of save_frame (counted from 0;\n"
      "                        F- to the end); needs --avi, --frames, --mesh or --vdb\n"
      "      --mesh FILE       write the attractor as a closed mesh to FILE instead of the\n"
      "                        image: .stl, .ply (with colours), .obj, .glb, .3mf; with\n"
      "                        save_frame FILE needs a number field, such as part%03d.stl\n"
      "      --vdb FILE        write the attractor as an OpenVDB level set (grid \"surface\")\n"
      "                        with its colours (grid \"colour\") instead of the image\n"
      "      --voxels N        cells along the longest side of the attractor for --mesh and\n"
      "                        --vdb (default 256)\n"
      "      --mesh-scale S    multiply the mesh's coordinates by S (default 1)\n"
      "      --mesh-adaptivity A  0 to 1: how far flat regions of the mesh merge into\n"
      "                        larger triangles (default 0.1; 0 keeps every cell face)\n"
      "      --part I/N        render only band I of N horizontal bands (from the top) and\n"
      "                        write it with its place in the image to -o FILE.png\n"
      "      --count-frames    print the number of frames of save_frame and the frame rate\n"
      "                        without rendering\n"
      "      --join PART...    join bands of --part into -o FILE, or frame images (in the\n"
      "                        order given) into --avi FILE\n"
      "      --fps N           frame rate of the video that --join --avi writes (default 15)\n"
      "      --list-samples    list the samples (number, submenus, name) and stop\n"
      "      --sample N        build sample N (counted from 0) instead of a script file\n"
      "      --samples FILE    read the samples from FILE, not from the samples file\n"
      "                        beside the program\n"
      "      --tokens          print the script's tokens (line, type, text) and stop\n"
      "      --dump-scene      compile the sets, print them and stop before rendering\n"
      "  -h, --help            show this text\n"
      "      --version         show the version, the image formats and the video codecs\n"
      "\n"
      "Image formats: .bmp, .png\n"
      "Video codecs (those this FFmpeg build can encode) for --avi:\n";
  text += codecLines(shell::VideoContainer::Avi);
  for (const auto container :
       {shell::VideoContainer::Mp4, shell::VideoContainer::Matroska, shell::VideoContainer::WebM}) {
    text += std::string("Video codecs for --video FILE") + shell::videoExtension(container) +
            " (the first is the default):\n" + codecLines(container);
  }
  text +=
      "\n"
      "Exit status: 0 image built, 3 nothing to draw, 1 build failed,\n"
      "2 usage error or a file that cannot be read or written.\n";
  return text;
}

std::string versionText() {
  return "zentarel3d-cli " ZENTAREL_VERSION
         "\n"
         "Image formats: .bmp, .png\n"
         "Video codecs: " +
         codecNames() + "\n" + "Video files: .avi, .mp4 (" +
         codecNames(shell::VideoContainer::Mp4) + "), .mkv (" +
         codecNames(shell::VideoContainer::Matroska) + "), .webm (" +
         codecNames(shell::VideoContainer::WebM) + ")\n";
}

}  // namespace cli
