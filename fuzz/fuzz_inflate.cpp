// libFuzzer target for the inflater: any bytes as a zlib stream, decoded with the Adler-32 check
// on and off, into both output kinds, and with the plain x86-64 build of the hot loop; the
// results must agree with each other.
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
    // The same stream through the plain build: the same code and the same bytes.
    inflateUsePortableCode(true);
    std::vector<unsigned char> portable;
    const unsigned portableResult = zlibDecompress(portable, input.data(), input.size(), true);
    inflateUsePortableCode(false);
    if (portableResult != withCheck || (withCheck == kInflateOk && portable != checked))
        std::abort();
    return 0;
}
