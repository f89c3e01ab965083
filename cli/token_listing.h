#pragma once

#include <ostream>
#include <string>

namespace cli {

// Prints every token of the script, one a line: line number, tab, token
// type, tab, text (carriage return, line feed and tab written as \r, \n, \t),
// ending with the end-of-input token. A lexical error stops the listing and
// is printed on `err`. Returns false after an error.
bool listTokens(const std::string& script, std::ostream& out, std::ostream& err);

}  // namespace cli
