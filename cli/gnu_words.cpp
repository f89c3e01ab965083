#include "gnu_words.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace cli {

namespace {

// Every long option of parseOptions that takes a value.
constexpr std::array<std::string_view, 20> kLongWithValue = {
    "--seed",    "--size",   "--threads", "--avi",        "--codec",
    "--quality", "--frames", "--sample",  "--samples",    "--frame-range",
    "--part",    "--fps",    "--define",  "--video",      "--depth",
    "--mesh",    "--vdb",    "--voxels",  "--mesh-scale", "--mesh-adaptivity"};
constexpr std::string_view kShortWithValue = "soD";
constexpr std::string_view kShortFlags = "vhq";

bool contains(std::string_view letters, char letter) {
  return letters.find(letter) != std::string_view::npos;
}

// "-vh": every letter a flag.
bool isFlagBundle(const std::string& word) {
  return word.size() > 2 &&
         std::all_of(word.begin() + 1, word.end(), [](char c) { return contains(kShortFlags, c); });
}

}  // namespace

Words spellOut(const std::vector<std::string>& args) {
  Words words;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      words.operands.assign(args.begin() + i + 1, args.end());
      break;
    }
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    if (word.starts_with("--") && equals != std::string::npos &&
        std::find(kLongWithValue.begin(), kLongWithValue.end(), name) != kLongWithValue.end()) {
      words.options.push_back(name);
      words.options.push_back(word.substr(equals + 1));
    } else if (word.size() > 2 && word[0] == '-' && contains(kShortWithValue, word[1])) {
      words.options.push_back(word.substr(0, 2));
      words.options.push_back(word.substr(2));
    } else if (isFlagBundle(word)) {
      for (size_t letter = 1; letter < word.size(); ++letter)
        words.options.push_back(std::string{'-', word[letter]});
    } else {
      words.options.push_back(word);
    }
  }
  return words;
}

}  // namespace cli
