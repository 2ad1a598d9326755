// The window icon's picture: our PNG decoder and the size rules of an icon.
#include "graphics/IconImage.h"

#include <filesystem>

#include "graphics/PngDecoder.h"

IconStatus loadIconImage(const std::string& path, IconImage& image, std::string& reason) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return IconStatus::Missing;
    std::vector<unsigned char> file;
    loadFile(file, path);
    PngDecoder decoder;
    if (!file.empty())
        decoder.decode(image.pixels, file.data(), file.size());
    if (file.empty() || decoder.error != kPngOk) {
        reason = file.empty() ? "it is empty or cannot be read"
                              : "it is not a PNG our decoder reads (error " + std::to_string(decoder.error) + ")";
        return IconStatus::Unusable;
    }
    if (decoder.width == 0 || decoder.height == 0 || decoder.width > kMaxIconSide || decoder.height > kMaxIconSide) {
        reason = "it is " + std::to_string(decoder.width) + "x" + std::to_string(decoder.height) +
                 " pixels; an icon needs 1 to " + std::to_string(kMaxIconSide) + " a side";
        return IconStatus::Unusable;
    }
    image.width = decoder.width;
    image.height = decoder.height;
    return IconStatus::Loaded;
}
