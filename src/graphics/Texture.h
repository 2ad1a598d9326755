// One OpenGL 2D texture made from a PNG file: the record the texture cache owns, the loader
// that reads, decodes and uploads a file, and the upload step on its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Texture {
    // False while loading; set as the last step of a successful load.
    bool loaded = false;
    uint32_t width = 0;
    uint32_t height = 0;
    // The GL texture name; 0 until uploaded. Whoever owns the record deletes the GL texture.
    uint32_t glName = 0;
    // Each texel's alpha, rows top to bottom, as loadTexture decoded it (a quarter of the image;
    // the rest is not kept): sprites read where their frames are transparent from it. Empty for
    // a texture uploaded without it.
    std::vector<uint8_t> alpha;
};

// Reads the PNG file at `path`, decodes it to 8-bit RGBA and uploads it into `texture`.
// Throws ResourceException(path, "File not found!") for a missing or empty file and
// ResourceException(path, "Decoding error!") for bytes the decoder refuses. On a throw no GL
// texture has been made and `texture.loaded` is false. With `upload` false the image is only
// decoded and measured (no GL context needed; glName stays 0), as the data checker does. An
// uploaded texture keeps its alpha values.
void loadTexture(Texture& texture, const std::string& path, bool upload = true);

// Makes a new GL texture from `rgba` (width x height x 4 bytes, rows top to bottom) and records
// it in `texture`, with clamped edges and nearest filtering. The texture stays bound to
// GL_TEXTURE_2D afterwards. Does not set `loaded`.
void uploadTexture(Texture& texture, uint32_t width, uint32_t height, const uint8_t* rgba);
