#pragma once
// Runs body(i) for i in [0, count) on worker threads. Each index runs exactly
// once; results land in per-index slots, so the output does not depend on the
// schedule. The first exception stops the remaining work and is rethrown.
#include <cstddef>
#include <functional>

namespace qm {

void ParallelFor(size_t count, unsigned threads,
                 const std::function<void(size_t done, size_t total)>& progress,
                 const std::function<void(size_t index)>& body);

} // namespace qm
