// libFuzzer target for the PNG decoder: any bytes as a PNG file, decoded as the game does and
// again with the CRC and Adler-32 checks off (so mutations reach the image data), with and
// without colour conversion. A success must give exactly width x height x 4 bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "GuardedInput.h"
#include "graphics/PngDecoder.h"

// Bigger inputs only make slower runs: the interesting structure fits well below this.
constexpr std::size_t kMaxInput = 1 << 16;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    GuardedInput input(data, size);
    if (!input.ok())
        return 0;
    for (int variant = 0; variant < 3; ++variant) {
        PngDecoder decoder;
        decoder.checkCrc = variant == 0;
        decoder.checkAdler32 = variant == 0;
        decoder.convertColour = variant != 2;
        // The game's own array (not zero-filled) for the checked decode, a vector for the others.
        std::vector<unsigned char> pixels;
        ByteBuffer buffer;
        if (variant == 0)
            decoder.decode(buffer, input.data(), input.size());
        else
            decoder.decode(pixels, input.data(), input.size());
        const std::size_t size = variant == 0 ? buffer.size() : pixels.size();
        if (decoder.error == 0 && decoder.convertColour && size != std::size_t(decoder.width) * decoder.height * 4)
            std::abort();
    }
    return 0;
}
