#include "cli/OutputTarget.h"

#include "text/NativePath.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace bitexa {

namespace {

constexpr int MaxLinkHops = 40;

std::string Canonical(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// N when the name is N in one of this process's descriptor folders, else -1.
int DescriptorIn(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos || slash + 1 == name.size() || name.size() - slash > 10) {
        return -1;
    }
    int number = 0;
    for (std::size_t k = slash + 1; k < name.size(); ++k) {
        if (name[k] < '0' || name[k] > '9') {
            return -1;
        }
        number = number * 10 + (name[k] - '0');
    }
    const std::string folder = Canonical(slash == 0 ? "/" : name.substr(0, slash));
    if (folder.empty() ||
        (folder != Canonical("/proc/self/fd") && folder != Canonical("/proc/thread-self/fd"))) {
        return -1;
    }
    return ::fcntl(number, F_GETFD) != -1 ? number : -1;
}

} // namespace

int DescriptorNamedBy(const std::string& name) {
    if (name == "-") {
        return STDOUT_FILENO;
    }
    // The links are followed one at a time: the last one, from the descriptor folder to the
    // file that is open there, must not be taken.
    std::string path = name;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        if (const int fd = DescriptorIn(path); fd >= 0) {
            return fd;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return -1;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0) {
            return -1;
        }
        target.resize(static_cast<std::size_t>(n));
        if (target[0] != '/') {
            const std::size_t slash = path.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
        path = std::move(target);
    }
    return -1;
}

std::wstring InputThatIsOutput(const std::wstring& output, int descriptor,
                               const std::vector<std::wstring>& inputs) {
    struct stat written {};
    if ((descriptor >= 0 ? ::fstat(descriptor, &written)
                         : ::stat(PathToNative(output).c_str(), &written)) != 0) {
        return {};
    }
    for (const std::wstring& input : inputs) {
        struct stat read {};
        if (::stat(PathToNative(input).c_str(), &read) == 0 && read.st_dev == written.st_dev &&
            read.st_ino == written.st_ino) {
            return input;
        }
    }
    return {};
}

} // namespace bitexa
