// The best score file: where it lives, reading it strictly, and replacing it atomically.
#include "app/BestScore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bestscore {

namespace {

// A best score is at most ten digits and a line break; anything longer is not one.
constexpr std::size_t kMaxFileBytes = 32;
constexpr mode_t kDirectoryMode = 0700;

void warn(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "pellvane: best score %s: %s\n", path.c_str(), what.c_str());
}

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Makes every missing directory on the way to `path`'s directory.
bool makeParents(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string directory = path.substr(0, slash);
        if (mkdir(directory.c_str(), kDirectoryMode) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string defaultPath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/" + kRelativePath;
    const std::string home = homeDirectory();
    return home.empty() ? "" : home + "/.local/share/" + kRelativePath;
}

int load(const std::string& path) {
    if (path.empty()) {
        warn("(no home directory)", "not kept; starting from 0");
        return 0;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        warn(path,
             errno == ENOENT ? "none yet; starting from 0" : std::string(std::strerror(errno)) + "; counted as 0");
        return 0;
    }
    char bytes[kMaxFileBytes + 1];
    const std::size_t size = std::fread(bytes, 1, sizeof bytes, file);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        warn(path, "could not be read; counted as 0");
        return 0;
    }
    std::size_t i = 0;
    long long value = 0;
    while (i < size && bytes[i] >= '0' && bytes[i] <= '9' && value <= INT_MAX)
        value = value * 10 + (bytes[i++] - '0');
    const std::size_t digits = i;
    while (i < size && (bytes[i] == '\n' || bytes[i] == '\r' || bytes[i] == ' ' || bytes[i] == '\t'))
        ++i;
    if (digits == 0 || i != size || size > kMaxFileBytes || value > INT_MAX) {
        warn(path, "is not a score; counted as 0");
        return 0;
    }
    return static_cast<int>(value);
}

bool save(const std::string& path, int score) {
    if (path.empty())
        return false;
    std::string temporary = path + ".XXXXXX";
    const auto fail = [&](const char* step) {
        warn(path, std::string(step) + ": " + std::strerror(errno) + "; not saved");
        return false;
    };
    if (!makeParents(path))
        return fail("cannot make its directory");
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return fail("cannot create a temporary file");
    int error = writeAll(fd, std::to_string(score) + "\n") && fsync(fd) == 0 ? 0 : errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        errno = error;
        return fail("cannot write it");
    }
    return true;
}

} // namespace bestscore
