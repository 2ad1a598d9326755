// FNV-1a, 64 bits: a fingerprint of bytes that changes when any byte does (the data a game was
// recorded on, a recording's body). Not a defence against anyone forging a file on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace hash {

inline constexpr uint64_t kFnvOffset = 14695981039346656037ull;
inline constexpr uint64_t kFnvPrime = 1099511628211ull;

// Continues `seed` (kFnvOffset to start) over `bytes`, so a fingerprint can be taken in pieces.
inline uint64_t fnv1a64(std::string_view bytes, uint64_t seed = kFnvOffset) {
    uint64_t value = seed;
    for (const char c : bytes) {
        value ^= static_cast<unsigned char>(c);
        value *= kFnvPrime;
    }
    return value;
}

} // namespace hash
