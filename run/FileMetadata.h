#pragma once

#include <sys/stat.h>

#include <string>

namespace bitexa {

// Gives the open file `fd` the owner, group, permissions and extended attributes (ACLs among
// them) of the file at `path`, which `existing` describes; the file's own attributes that the
// other lacks are removed. False when any of them cannot be given (another user's file, an
// attribute only the system may set): the file then does not stand in for the other.
bool CopyMetadata(const std::string& path, int fd, const struct stat& existing);

} // namespace bitexa
