// Where the mail server programs the demo and the tests start (dovecot,
// doveadm, postfix, ...) are installed. Debian puts them in /usr/sbin, which
// is not on an ordinary user's PATH, so a search of PATH alone would call an
// installed server missing.
#pragma once

#include <string>

namespace velnora::platform {

// The folders searched after PATH, in this order.
inline constexpr const char* kServerProgramFolders[] = {"/usr/sbin", "/sbin"};

// The full path of the executable `name`: the first match in $PATH, then in
// kServerProgramFolders. Empty when none holds it (the program is not
// installed). A name with a slash is taken as it is when executable.
std::string FindServerProgram(const std::string& name);

// Like FindServerProgram with `path` in place of $PATH (for tests).
std::string FindServerProgramIn(const std::string& name, const std::string& path);

}  // namespace velnora::platform
