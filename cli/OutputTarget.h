#pragma once

#include <string>
#include <vector>

namespace bitexa {

// The descriptor of this process that an output name stands for: "-" is standard output, and a
// name that leads through symbolic links to /dev/fd/N or /proc/self/fd/N (as /dev/stdout and
// /dev/stderr do) is descriptor N, if it is open. Such an output is written through the
// descriptor: replacing the file behind it would pull it from under whoever opened it (the
// shell's ">>"), and a pipe has no file to replace. -1 for any other name.
int DescriptorNamedBy(const std::string& name);

// The first of the inputs that is the same file as the output (the same device and inode,
// through any links), the output being the named file or, when `descriptor` is not -1, the file
// open there. Empty when there is none, or the output does not exist yet.
std::wstring InputThatIsOutput(const std::wstring& output, int descriptor,
                               const std::vector<std::wstring>& inputs);

} // namespace bitexa
