// The 256 × 256 table of every weighted mix of two pictures: entry [s][t] ≈ s × t / 255.
// Portable.
#pragma once
#include <array>
#include <cstdint>

namespace pelio {

using BlendTable = std::array<uint8_t, 256 * 256>;  // [s * 256 + t]

// Built once: 0 with a zero, t with 255, else (t × floor(s × 65536 / 255) + 32768) >> 16 for
// s ≤ t, mirrored.
const BlendTable& Blend();

}  // namespace pelio
