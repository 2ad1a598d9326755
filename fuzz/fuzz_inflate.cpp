// libFuzzer target for the inflater: any bytes as a zlib stream, decoded with the Adler-32 check
// on and off and into both output kinds; the results must agree with each other.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GuardedInput.h"
#include "graphics/Inflate.h"

// Inputs larger than this could inflate to gigabytes; they teach the fuzzer nothing new.
constexpr std::size_t kMaxInput = 1 << 16;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    GuardedInput input(data, size);
    if (!input.ok())
        return 0;
    std::vector<unsigned char> checked;
    const unsigned withCheck = zlibDecompress(checked, input.data(), input.size(), true);
    ByteBuffer unchecked;
    const unsigned withoutCheck = zlibDecompress(unchecked, input.data(), input.size(), false);
    // The checksum can only turn a success into 58; any other difference is a bug.
    if (withCheck != withoutCheck && !(withCheck == kInflateErrorAdler32 && withoutCheck == kInflateOk))
        std::abort();
    if (withoutCheck == kInflateOk && withCheck == kInflateOk &&
        (checked.size() != unchecked.size() ||
         (!checked.empty() && std::memcmp(checked.data(), unchecked.data(), checked.size()) != 0)))
        std::abort();
    return 0;
}
