// Entry point of the tests that need no display: nothing opens a window, and the run is made with
// DISPLAY unset, so a test that reached for one would fail. Sound plays on SDL's silent driver.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
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
