#pragma once
#include <array>
#include <cstdint>

namespace qm::platform {

struct TGuid {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::array<std::uint8_t, 8> D4{};
};

// A new random (version 4) GUID from the system's entropy source.
[[nodiscard]] TGuid NewGuid();

} // namespace qm::platform
