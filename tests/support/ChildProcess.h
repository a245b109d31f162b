#pragma once

#include <functional>
#include <string>

namespace bitexa {

// Runs work in a forked child and gives back the string it returned (empty when the child died).
// With asNobody, a child of root first becomes the unprivileged user 65534, so that permission
// bits count as they do for an ordinary user (root reads and writes through them).
std::string RunInChild(const std::function<std::string()>& work, bool asNobody);

// Whether this build runs under AddressSanitizer, which reserves far more address space than a
// memory limit allows.
bool UnderAddressSanitizer();

} // namespace bitexa
