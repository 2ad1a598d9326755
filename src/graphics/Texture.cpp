// Texture loading: read the file, decode it to RGBA, upload it once.
#include "graphics/Texture.h"

#include <GL/glew.h>
#include <cstdint>
#include <vector>

#include "base/Exceptions.h"
#include "graphics/PngDecoder.h"

void uploadTexture(Texture& texture, uint32_t width, uint32_t height, const uint8_t* rgba) {
    texture.width = width;
    texture.height = height;
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.glName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba);
    // Nearest filtering and clamped edges: pixel art drawn at window-pixel scale, and no
    // bleeding from the opposite edge of the image.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

void loadTexture(Texture& texture, const std::string& path, bool upload) {
    texture.loaded = false;
    texture.alpha.clear();
    std::vector<unsigned char> bytes;
    loadFile(bytes, path);
    if (bytes.empty())
        throw ResourceException(path, "File not found!");
    ByteBuffer pixels;
    PngDecoder decoder;
    decoder.decode(pixels, bytes.data(), bytes.size());
    // Guards the upload against reading past a short pixel array, and regions against dividing
    // by an empty size; a conforming decoder never fails these.
    const uint64_t needed = uint64_t{decoder.width} * decoder.height * 4;
    if (decoder.error != 0 || needed == 0 || pixels.size() < needed)
        throw ResourceException(path, "Decoding error!");
    // The pixel and file arrays are freed on return: of the image only its alpha stays in memory.
    if (upload) {
        uploadTexture(texture, decoder.width, decoder.height, pixels.data());
        const uint8_t* rgba = pixels.data();
        texture.alpha.resize(static_cast<std::size_t>(needed / 4));
        for (std::size_t i = 0; i < texture.alpha.size(); ++i)
            texture.alpha[i] = rgba[4 * i + 3];
    } else {
        texture.width = decoder.width;
        texture.height = decoder.height;
    }
    texture.loaded = true;
}
