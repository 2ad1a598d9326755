// Scene-level costs on the CPU side: one update + render of a scene of 500 sprite entities on two
// textures, and one testCollision of a moving circle against scenes of 10, 200 and 2,000 boxes.
// Medians of many runs, thread CPU time; run under a virtual X server (run.sh bench does).
#include <GL/glew.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <png.h>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "app/FrameLoop.h"
#include "app/Game.h"
#include "collision/CollisionResult.h"
#include "collision/SweptCircleCollider.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/SpriteEntity.h"

namespace {

double threadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double median(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void writeSolidPng(const std::string& path, uint8_t red, uint8_t green, uint8_t blue) {
    std::vector<uint8_t> pixels(32 * 32 * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = red;
        pixels[i + 1] = green;
        pixels[i + 2] = blue;
        pixels[i + 3] = 255;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = 32;
    image.height = 32;
    image.format = PNG_FORMAT_RGBA;
    png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
}

std::unique_ptr<BaseScene> sceneFrom(Game& game, const std::string& entities) {
    TiXmlDocument document;
    std::string text = "<base_scene id='bench'><entities>" + entities + "</entities></base_scene>";
    document.Parse(text.c_str());
    auto scene = std::make_unique<BaseScene>(game.sceneContext());
    scene->load(TiXmlHandle(document.RootElement()));
    return scene;
}

// A circle moving to the right along y = 590, below every box: each test is a miss that has to
// look at every box, the common case for a ball in flight.
struct MovingCircle : SpriteEntity {
    Vector2 end{700.0f, 580.0f};
    SweptCircleCollider collider{false, position, end, 8.0f, Vector2{8.0f, 8.0f}, this};
    ICollider* getCollider() override { return &collider; }
};

} // namespace

int main() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0 ||
        openGameWindow() == nullptr ||
        glewInit() != GLEW_OK) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return 1;
    }
    const auto work = std::filesystem::temp_directory_path() / "pellvane-bench-scene";
    std::filesystem::create_directories(work);
    std::filesystem::current_path(work);
    writeSolidPng("a.png", 255, 0, 0);
    writeSolidPng("b.png", 0, 0, 255);
    {
        std::FILE* sprites = std::fopen("sprites.xml", "w");
        std::fputs("<s><sprite id='a' texture='a.png' x='0' y='0' width='16' height='16'/>"
                   "<sprite id='b' texture='b.png' x='0' y='0' width='16' height='16'/></s>",
                   sprites);
        std::fclose(sprites);
    }
    auto owned = std::make_unique<Game>();
    // The capsules come in the same order in every run, so its figures repeat.
    owned->setCapsuleSeed(1);
    Game* game = owned.get();
    game->width = kWindowWidth;
    game->height = kWindowHeight;
    game->initGL();
    game->setSpriteBatches(std::make_unique<SpriteBatchRegistry>(200));
    game->setTextureCache(std::make_unique<TextureCache>(""));
    game->setSpriteManager(std::make_unique<SpriteManager>("sprites.xml", *game->getTextureCache()));

    // 500 sprites, alternating textures and spread over layers, so the sort and the grouping by
    // texture both have work to do.
    std::string entities;
    for (int i = 0; i < 500; ++i) {
        char element[160];
        std::snprintf(element, sizeof element, "<sprite_entity sprite='%s' x='%d' y='%d' layer='%d' rotation='%d'/>",
                      i % 2 ? "a" : "b", (i * 37) % 780, (i * 53) % 580, i % 7, i % 4 * 30);
        entities += element;
    }
    auto sprites = sceneFrom(*game, entities);
    std::vector<double> frames;
    for (int i = 0; i < 5000; ++i) {
        glClear(GL_COLOR_BUFFER_BIT);
        const double start = threadMicroseconds();
        sprites->update(1.0f / 60.0f);
        sprites->render();
        frames.push_back(threadMicroseconds() - start);
        glFinish();
    }
    std::printf("update + render of 500 sprite entities on two textures: median %.1f us (%.0f ns per entity)\n",
                median(frames), median(frames) * 1000.0 / 500.0);

    for (int boxes : {10, 200, 2000}) {
        std::string walls;
        for (int i = 0; i < boxes; ++i) {
            char element[120];
            std::snprintf(element, sizeof element, "<box sprite='a' x='%d' y='%d'/>", (i * 41) % 780, (i * 29) % 500);
            walls += element;
        }
        auto scene = sceneFrom(*game, walls);
        auto* circle = new MovingCircle();
        circle->setPosition(Vector2{20.0f, 580.0f});
        scene->addEntity(circle);
        std::vector<double> tests;
        const int repeats = boxes >= 2000 ? 2000 : 20000;
        int hits = 0;
        for (int i = 0; i < repeats; ++i) {
            const double start = threadMicroseconds();
            const std::optional<CollisionResult> result = scene->testCollision(circle);
            tests.push_back(threadMicroseconds() - start);
            hits += result.has_value();
        }
        const double m = median(tests);
        std::printf(
            "testCollision of a moving circle in a scene of %4d boxes: median %.2f us (%.1f ns per box, %d hits)\n",
            boxes, m, m * 1000.0 / boxes, hits);
    }
    sprites.reset();
    owned.reset();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(work);
    SDL_Quit();
    return 0;
}
