// Helpers for the graphics tests: the game's GL state, PNG files written with libpng, textures
// uploaded straight from pixels, and solid-colour images.
#pragma once

#include <GL/glew.h>
#include <array>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

#include "app/Game.h"
#include "graphics/Texture.h"

namespace graphicstest {

using Rgba = std::array<uint8_t, 4>;

constexpr uint32_t kWindowWidth = 800;
constexpr uint32_t kWindowHeight = 600;

// The fixed GL state of the game (pixel projection, blending, alpha test), a clear to `clear`
// and an identity modelview, as the main loop leaves them before a scene renders.
inline void prepareFrame(const Rgba& clear = {0, 0, 0, 255}) {
    initGlState(kWindowWidth, kWindowHeight);
    glClearColor(clear[0] / 255.0f, clear[1] / 255.0f, clear[2] / 255.0f, clear[3] / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// width x height pixels of one colour.
inline std::vector<uint8_t> solidImage(uint32_t width, uint32_t height, const Rgba& colour) {
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), colour.begin(), colour.end());
    return pixels;
}

// Writes an 8-bit RGBA PNG with libpng, the reference encoder. Rows top to bottom.
inline bool writePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

// A loaded texture uploaded straight from pixels, deleted with the object.
struct TestTexture {
    TestTexture(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
        uploadTexture(texture, width, height, rgba.data());
        texture.loaded = true;
    }
    ~TestTexture() { glDeleteTextures(1, &texture.glName); }
    TestTexture(const TestTexture&) = delete;
    TestTexture& operator=(const TestTexture&) = delete;
    Texture* get() { return &texture; }

    Texture texture;
};

// Succeeds when the red, green and blue of `actual` each lie within `tolerance` of `expected`
// (the window's alpha channel is not compared: the visual may have none).
inline ::testing::AssertionResult near(const Rgba& actual, const Rgba& expected, int tolerance = 2) {
    for (int i = 0; i < 3; ++i) {
        const int difference = int(actual[i]) - int(expected[i]);
        if (difference > tolerance || difference < -tolerance)
            return ::testing::AssertionFailure()
                   << "pixel (" << int(actual[0]) << ", " << int(actual[1]) << ", " << int(actual[2]) << ") is not ("
                   << int(expected[0]) << ", " << int(expected[1]) << ", " << int(expected[2]) << ") within "
                   << tolerance;
    }
    return ::testing::AssertionSuccess();
}

} // namespace graphicstest
