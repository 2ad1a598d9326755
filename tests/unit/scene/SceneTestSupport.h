// Helpers for scene and entity tests: a scratch directory with small solid-colour textures and
// a sprite set, installed in a fresh Game, and scenes loaded from XML text.
#pragma once

#include <memory>
#include <type_traits>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "TestSupport.h"
#include "app/Game.h"
#include "graphics/GraphicsTestSupport.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"

namespace scenetest {

using graphicstest::Rgba;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

// Whether the tests of this binary draw: the display tests (built with PELLVANE_TEST_DRAWS) run
// under a virtual X server with a GL window; the others run with no display at all.
#ifdef PELLVANE_TEST_DRAWS
inline constexpr bool kTestsDraw = true;
#else
inline constexpr bool kTestsDraw = false;
#endif

// A fresh world with a batch registry, a texture cache over the scratch directory and the
// sprites "red" (20x10), "green" (20x10, second texture), "blue" (a 10x10 frame of a 100x10
// texture shared with "blue2"), and "halves" (20x10, left half red, right half blue). Where the
// tests draw, the world is the Game of the window and the textures are uploaded; otherwise they
// are only decoded.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (kTestsDraw)
            ownedGame = std::make_unique<Game>();
        else
            ownedGame = std::make_unique<GameWorld>();
        // The capsules come in the same order in every run, so its figures repeat.
        ownedGame->setCapsuleSeed(1);
        game = ownedGame.get();
        graphicstest::writePng(dir.file("red.png"), 20, 10, graphicstest::solidImage(20, 10, kRed));
        graphicstest::writePng(dir.file("green.png"), 20, 10, graphicstest::solidImage(20, 10, kGreen));
        graphicstest::writePng(dir.file("blue.png"), 100, 10, graphicstest::solidImage(100, 10, kBlue));
        std::vector<uint8_t> halves;
        for (int i = 0; i < 20 * 10; ++i) {
            const Rgba& c = i % 20 < 10 ? kRed : kBlue;
            halves.insert(halves.end(), c.begin(), c.end());
        }
        graphicstest::writePng(dir.file("halves.png"), 20, 10, halves);
        testsupport::writeFile("sprites.xml", R"(<sprites>
            <sprite id="red" texture="red.png" x="0" y="0" width="20" height="10"/>
            <sprite id="green" texture="green.png" x="0" y="0" width="20" height="10"/>
            <sprite id="blue" texture="blue.png" x="0" y="0" width="10" height="10"/>
            <sprite id="blue2" texture="blue.png" x="10" y="0" width="10" height="10"/>
            <sprite id="halves" texture="halves.png" x="0" y="0" width="20" height="10"/>
        </sprites>)");
        game->setSpriteBatches(std::make_unique<SpriteBatchRegistry>(200));
        game->setTextureCache(std::make_unique<TextureCache>("", kTestsDraw));
        game->setSpriteManager(std::make_unique<SpriteManager>("sprites.xml", *game->getTextureCache()));
    }
    void TearDown() override { ownedGame.reset(); }

    // Loads a scene of type T from XML text; the document is released before returning.
    template <class T = BaseScene> std::unique_ptr<T> loadScene(const std::string& text) {
        TiXmlDocument document;
        document.Parse(text.c_str());
        std::unique_ptr<T> scene;
        if constexpr (std::is_constructible_v<T, const SceneContext&>)
            scene = std::make_unique<T>(game->sceneContext());
        else
            scene = std::make_unique<T>(game->sceneContext(), game->gameServices());
        scene->load(TiXmlHandle(document.RootElement()));
        return scene;
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<GameWorld> ownedGame;
    GameWorld* game = nullptr;
};

} // namespace scenetest
