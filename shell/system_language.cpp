#include "system_language.h"

#include <cstdlib>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace shell {

bool localeAsksForRussian(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* locale : {lcAll, lcMessages, lang}) {
    if (locale && *locale) return std::string_view(locale).starts_with("ru");
  }
  return false;
}

bool systemAsksForRussian() {
#ifdef _WIN32
  return GetACP() == 1251;
#else
  return localeAsksForRussian(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                              std::getenv("LANG"));
#endif
}

}  // namespace shell
