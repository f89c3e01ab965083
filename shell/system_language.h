#pragma once

namespace shell {

// Whether the system asks for the Russian interface (the language file):
// on Windows the ANSI code page 1251, elsewhere a messages locale "ru...".
bool systemAsksForRussian();

// The POSIX rule: the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty decides; Russian when it starts with "ru". Null for unset.
bool localeAsksForRussian(const char* lcAll, const char* lcMessages, const char* lang);

}  // namespace shell
