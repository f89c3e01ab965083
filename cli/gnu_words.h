#pragma once

#include <string>
#include <vector>

namespace cli {

// A command line with its GNU shorthands spelled out: "--opt=value" becomes
// "--opt" "value", bundled short flags "-vh" become "-v" "-h", a value glued
// to a short option ("-DNAME=V", "-s64x48") becomes a word of its own. The
// words after "--" are operands even when they start with '-'.
struct Words {
  std::vector<std::string> options;   // options, their values and operands before "--"
  std::vector<std::string> operands;  // the words after "--"
};

// The words of `args`. A flag with "=value" stays one word, an unknown option.
Words spellOut(const std::vector<std::string>& args);

}  // namespace cli
