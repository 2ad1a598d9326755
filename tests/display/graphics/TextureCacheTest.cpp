// The texture cache: one load per name, path forming, nothing cached on failure, GL textures
// deleted with the cache.
#include <gtest/gtest.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/TextureCache.h"

using namespace graphicstest;

namespace {

void writeImage(const std::string& path, uint32_t width = 4, uint32_t height = 2) {
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    ASSERT_TRUE(writePng(path, width, height, solidImage(width, height, {10, 20, 30, 255})));
}

TEST(TextureCacheTest, ANameIsReadOnceAndThenServedFromTheCache) {
    testsupport::ScratchDir dir;
    writeImage("a.png", 8, 4);
    TextureCache cache("");
    Texture* first = cache.getTexture("a.png");
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(first->loaded);
    EXPECT_EQ(8u, first->width);
    EXPECT_EQ(4u, first->height);
    // With the file gone, only the cache can answer.
    std::filesystem::remove("a.png");
    EXPECT_EQ(first, cache.getTexture("a.png"));
    EXPECT_EQ(1u, cache.getTextures().size());
}

TEST(TextureCacheTest, DifferentSpellingsOfOneFileAreDifferentTextures) {
    testsupport::ScratchDir dir;
    writeImage("a.png");
    TextureCache cache("");
    Texture* plain = cache.getTexture("a.png");
    Texture* dotted = cache.getTexture("./a.png");
    EXPECT_NE(plain, dotted);
    EXPECT_NE(plain->glName, dotted->glName);
    EXPECT_EQ(2u, cache.getTextures().size());
}

TEST(TextureCacheTest, PathsJoinDirectoryAndNameWithExactlyOneSlash) {
    EXPECT_EQ("b.png", TextureCache("").pathFor("b.png"));
    EXPECT_EQ("data/tex/b.png", TextureCache("data/tex").pathFor("b.png"));
    EXPECT_EQ("textures//b.png", TextureCache("textures/").pathFor("b.png"));
    EXPECT_EQ("textures/./b.png", TextureCache("textures").pathFor("./b.png"));
}

TEST(TextureCacheTest, TexturesLoadFromTheDirectoryAndAreKeyedByName) {
    testsupport::ScratchDir dir;
    writeImage("data/tex/b.png", 2, 2);
    TextureCache cache("data/tex");
    Texture* texture = cache.getTexture("b.png");
    EXPECT_EQ(2u, texture->width);
    ASSERT_EQ(1u, cache.getTextures().count("b.png"));
    TextureCache slashed("data/tex/");
    EXPECT_EQ(2u, slashed.getTexture("b.png")->width);
}

TEST(TextureCacheTest, AFailedLoadCachesNothingAndIsRetried) {
    testsupport::ScratchDir dir;
    TextureCache cache("tex");
    writeImage("tex/other.png");
    Texture* other = cache.getTexture("other.png");
    try {
        cache.getTexture("late.png");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const ResourceException& e) {
        EXPECT_EQ("Resource Exception: tex/late.png: File not found!", e.message);
    }
    EXPECT_EQ(1u, cache.getTextures().size());
    EXPECT_EQ(0u, cache.getTextures().count("late.png"));
    testsupport::writeFile("tex/late.png", "garbage");
    EXPECT_THROW(cache.getTexture("late.png"), ResourceException);
    EXPECT_EQ(1u, cache.getTextures().size());
    writeImage("tex/late.png", 6, 6);
    Texture* late = cache.getTexture("late.png");
    EXPECT_EQ(6u, late->width);
    EXPECT_EQ(other, cache.getTexture("other.png"));
    EXPECT_EQ(2u, cache.getTextures().size());
}

TEST(TextureCacheTest, DestroyingTheCacheDeletesItsGlTextures) {
    testsupport::ScratchDir dir;
    writeImage("a.png");
    writeImage("b.png");
    std::vector<GLuint> names;
    {
        TextureCache cache("");
        names.push_back(cache.getTexture("b.png")->glName);
        names.push_back(cache.getTexture("a.png")->glName);
        for (GLuint name : names)
            EXPECT_TRUE(glIsTexture(name));
    }
    for (GLuint name : names)
        EXPECT_FALSE(glIsTexture(name)) << name;
}

} // namespace
