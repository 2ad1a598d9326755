// Helpers shared by the unit tests: a scratch directory to run in, file writing, stream
// capture, and reading pixels back in window coordinates (top-left origin).
#pragma once

#include <GL/glew.h>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace testsupport {

// Creates a fresh temporary directory and makes it the working directory for its lifetime.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/pellvane-test-XXXXXX";
        path = mkdtemp(pattern);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(path);
    }
    ~ScratchDir() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;

private:
    std::filesystem::path previous;
};

inline void writeFile(const std::string& name, const std::string& contents) {
    std::filesystem::path p(name);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream out(name, std::ios::binary);
    out << contents;
}

inline void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::path p(to);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

// The RGBA bytes of one window pixel, x and y in window coordinates (y down).
inline std::array<uint8_t, 4> readPixel(int x, int y, int windowHeight = 600) {
    std::array<uint8_t, 4> rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, windowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

} // namespace testsupport
