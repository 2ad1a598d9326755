// Loading one texture: the file read, the decode, the upload and its parameters, and the
// messages for a missing, empty or undecodable file.
#include <gtest/gtest.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/Texture.h"

using namespace graphicstest;

namespace {

// Loads `path` into a fresh record expecting failure; returns the exception.
ResourceException loadFailure(const std::string& path) {
    Texture texture;
    texture.loaded = true;
    try {
        loadTexture(texture, path);
    } catch (const ResourceException& e) {
        EXPECT_FALSE(texture.loaded);
        EXPECT_EQ(0u, texture.glName) << "no GL texture is made for a failed load";
        return e;
    }
    ADD_FAILURE() << path << " loaded";
    if (texture.glName != 0)
        glDeleteTextures(1, &texture.glName);
    return ResourceException(path, "");
}

TEST(TextureTest, LoadsAPngAndUploadsItRowsTopFirst) {
    testsupport::ScratchDir dir;
    // 3 x 2: the top row red, green, blue; the bottom row white, black, half-transparent grey.
    const std::vector<uint8_t> pixels = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0,   255, 255,
                                         255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 128};
    ASSERT_TRUE(writePng("image.png", 3, 2, pixels));
    Texture texture;
    loadTexture(texture, "image.png");
    EXPECT_TRUE(texture.loaded);
    EXPECT_EQ(3u, texture.width);
    EXPECT_EQ(2u, texture.height);
    ASSERT_NE(0u, texture.glName);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLint(texture.glName), bound) << "the new texture stays bound";

    std::vector<uint8_t> uploaded(pixels.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(pixels, uploaded);

    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(GL_CLAMP_TO_EDGE, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(GL_CLAMP_TO_EDGE, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(GL_NEAREST, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(GL_NEAREST, value);
    glDeleteTextures(1, &texture.glName);
}

TEST(TextureTest, MissingAndEmptyFilesAreNotFound) {
    testsupport::ScratchDir dir;
    ResourceException missing = loadFailure("missing.png");
    EXPECT_EQ("missing.png", missing.source);
    EXPECT_EQ("Resource Exception: missing.png: File not found!", missing.message);
    testsupport::writeFile("empty.png", "");
    EXPECT_EQ("Resource Exception: empty.png: File not found!", loadFailure("empty.png").message);
    std::filesystem::create_directory("folder.png");
    EXPECT_EQ("Resource Exception: folder.png: File not found!", loadFailure("folder.png").message);
}

TEST(TextureTest, BytesThatAreNotAPngAreADecodingError) {
    testsupport::ScratchDir dir;
    testsupport::writeFile("text.png", "this is not an image");
    EXPECT_EQ("Resource Exception: text.png: Decoding error!", loadFailure("text.png").message);
    // A real PNG cut short.
    ASSERT_TRUE(writePng("whole.png", 16, 16, solidImage(16, 16, {1, 2, 3, 255})));
    std::ifstream in("whole.png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    testsupport::writeFile("cut.png", bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ("Resource Exception: cut.png: Decoding error!", loadFailure("cut.png").message);
}

} // namespace
