// The identifiers of server folders: "_QimP" and, below it, the folder names
// separated by backslashes ("_QimP\A\B"). They name folders on the server and
// the cache directories that stand in for them; the names come from the
// server, so nothing here trusts them to stay below "_QimP".
#pragma once

#include <string>
#include <vector>

namespace qimimap {

// "_QimP" itself, or "_QimP" followed by a backslash or a slash.
bool IsQimPFolder(const std::string& path);

// The folder names below "_QimP", split at every backslash or slash that is a
// character of its own (the 0x5C of 表 is no separator); one trailing
// separator is allowed. False for a path that is no server folder, or that
// holds an empty name (a doubled separator: what follows would be an absolute
// path), "." or ".." (which would lead out of the folder it names), or a NUL.
bool QimPComponents(const std::string& path, std::vector<std::string>& components);

// "_QimP" and the names joined with backslashes: the identifier the folder
// list and the tree use.
std::string QimPPathOf(const std::vector<std::string>& components);

}  // namespace qimimap
