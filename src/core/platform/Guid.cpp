#include "platform/Guid.h"

#include <mutex>
#include <random>

namespace qm::platform {

TGuid NewGuid() {
    // random_device reads the kernel's entropy pool on Linux and uses
    // RtlGenRandom on Windows; one engine seeded from it keeps ids cheap.
    static std::mutex mutex;
    static std::mt19937_64 engine = [] {
        std::random_device rd;
        std::seed_seq seq{rd(), rd(), rd(), rd(), rd(), rd(), rd(), rd()};
        return std::mt19937_64(seq);
    }();
    std::uint64_t a;
    std::uint64_t b;
    {
        std::lock_guard<std::mutex> lock(mutex);
        a = engine();
        b = engine();
    }
    TGuid g;
    g.D1 = static_cast<std::uint32_t>(a >> 32);
    g.D2 = static_cast<std::uint16_t>(a >> 16);
    g.D3 = static_cast<std::uint16_t>((a & 0x0FFF) | 0x4000); // version 4
    for (int i = 0; i < 8; ++i)
        g.D4[static_cast<size_t>(i)] = static_cast<std::uint8_t>(b >> (56 - 8 * i));
    g.D4[0] = static_cast<std::uint8_t>((g.D4[0] & 0x3F) | 0x80); // RFC 4122 variant
    return g;
}

} // namespace qm::platform
