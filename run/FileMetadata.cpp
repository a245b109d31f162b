#include "run/FileMetadata.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

namespace bitexa {

namespace {

// Asks for a size first and then for the bytes, again when they grew in between. Nothing for a
// file system without extended attributes; nullopt on any other failure.
std::optional<std::string> Fetch(const std::function<ssize_t(char*, std::size_t)>& get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) {
                return std::string();
            }
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(size), '\0');
        const ssize_t n = get(bytes.data(), bytes.size());
        if (n >= 0) {
            bytes.resize(static_cast<std::size_t>(n));
            return bytes;
        }
        if (errno != ERANGE) {
            return std::nullopt;
        }
    }
}

// The names of a list as the system gives it: each ends with a NUL.
std::set<std::string> Names(const std::string& list) {
    std::set<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find('\0', start);
        names.emplace(list.substr(start, end - start));
        start = end == std::string::npos ? list.size() : end + 1;
    }
    return names;
}

bool CopyExtendedAttributes(const std::string& path, int fd) {
    const auto theirs =
        Fetch([&](char* list, std::size_t size) { return ::listxattr(path.c_str(), list, size); });
    const auto ours =
        Fetch([&](char* list, std::size_t size) { return ::flistxattr(fd, list, size); });
    if (!theirs || !ours) {
        return false;
    }
    const std::set<std::string> wanted = Names(*theirs);
    for (const std::string& name : wanted) {
        const auto value = Fetch([&](char* bytes, std::size_t size) {
            return ::getxattr(path.c_str(), name.c_str(), bytes, size);
        });
        if (!value) {
            return false;
        }
        // An attribute that the new file has already (a security label, say) is left as it
        // is: setting it again may need a privilege that writing the file does not.
        const auto present = Fetch([&](char* bytes, std::size_t size) {
            return ::fgetxattr(fd, name.c_str(), bytes, size);
        });
        if (present && *present == *value) {
            continue;
        }
        if (::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0) {
            return false;
        }
    }
    // What the folder handed down to the new file (a default ACL) and the old file lacked.
    for (const std::string& name : Names(*ours)) {
        if (wanted.count(name) == 0 && ::fremovexattr(fd, name.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CopyMetadata(const std::string& path, int fd, const struct stat& existing) {
    struct stat own {};
    if (::fstat(fd, &own) != 0) {
        return false;
    }
    if ((own.st_uid != existing.st_uid || own.st_gid != existing.st_gid) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    // The permissions last: a change of owner clears the set-user-ID and set-group-ID bits, and
    // an ACL sets the group bits.
    return CopyExtendedAttributes(path, fd) && ::fchmod(fd, existing.st_mode & 07777) == 0;
}

} // namespace bitexa
