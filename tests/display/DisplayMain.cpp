// Entry point of the tests that draw: opens the real 800x600 SDL GL window once for the whole run
// (under the virtual X server), so GL, texture and drawing tests talk to a real context.
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <link.h>

#include "app/FrameLoop.h"
#include "app/Game.h"

namespace {
constexpr const char* kOffScreenWindowPosition = "1100,0";

// Mesa's GL driver is unloaded when SDL closes the display, and memory it keeps until exit is
// then reported by LeakSanitizer with no module name, out of reach of the suppressions. Taking
// one more reference to every loaded library, never released, keeps them all loaded.
int pinLibrary(dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
        dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

class GLWindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // SDL's driver probing can fall back to a text-mode driver when several test processes
        // connect to the virtual X server at once; name the X11 driver so that never happens.
        setenv("SDL_VIDEODRIVER", "x11", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // Place the window beyond the right edge of the 1024-pixel virtual screen: the end-to-end
        // tests share that X server and screenshot the game's window, which a test window
        // mapped on top would cover. Drawing and glReadPixels use the back buffer, so an
        // off-screen window reads back the same.
        setenv("SDL_VIDEO_WINDOW_POS", kOffScreenWindowPosition, 0);
        // Without the window every test would be meaningless: stop the run instead of skipping.
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 ||
            openGameWindow() == nullptr) {
            std::fprintf(stderr, "cannot open the test window: %s\n", SDL_GetError());
            std::exit(1);
        }
        SDL_WM_SetCaption(kWindowCaption, nullptr);
        if (glewInit() != GLEW_OK) {
            std::fprintf(stderr, "glewInit failed\n");
            std::exit(1);
        }
        dl_iterate_phdr(pinLibrary, nullptr);
    }
    void TearDown() override {
        SDL_Quit();
    }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // gtest_discover_tests lists tests without running them: no window is needed for that.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    ::testing::AddGlobalTestEnvironment(new GLWindowEnvironment);
    // A game scene that keeps its best score reads and writes it under XDG_DATA_HOME: point that at
    // a directory of this run's own, so no test ever touches the real home.
    char dataHome[] = "/tmp/pellvane-data-home-XXXXXX";
    if (mkdtemp(dataHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome, 1);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
    return result;
}
