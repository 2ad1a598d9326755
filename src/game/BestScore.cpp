// The best score file: where it lives, reading it strictly, and replacing it atomically.
#include "game/BestScore.h"

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

// Players link the file into synced folders: a rename onto the link would replace the link
// with a regular file, so the file the link ends at is the one replaced. A link that points
// nowhere yet names the file to create; a loop of links is left to the rename to fail on.
std::string followLinks(const std::string& path) {
    constexpr int kMaxLinks = 40; // the kernel's own limit on links followed in one lookup
    std::string current = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        char target[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), target, sizeof target - 1);
        if (length < 0)
            return current;
        target[length] = '\0';
        if (target[0] == '/') {
            current = target;
        } else {
            const std::size_t slash = current.rfind('/');
            current = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + target;
        }
    }
    return current;
}

} // namespace

std::string defaultPath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/" + kRelativePath;
    const std::string home = homeDirectory();
    return home.empty() ? "" : home + "/.local/share/" + kRelativePath;
}

Stored load(const std::string& path) {
    if (path.empty()) {
        warn("(no home directory)", "not kept; starting from 0");
        return {0, false};
    }
    const auto unreadable = [&](int error) {
        warn(path, std::string(std::strerror(error)) + "; counted as 0 and left as it is during this run");
        return Stored{0, false};
    };
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            warn(path, "none yet; starting from 0");
            return {};
        }
        return unreadable(errno);
    }
    char bytes[kMaxFileBytes + 1];
    errno = 0;
    const std::size_t size = std::fread(bytes, 1, sizeof bytes, file);
    const int readError = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    if (readError != 0)
        return unreadable(readError);
    std::size_t i = 0;
    long long value = 0;
    while (i < size && bytes[i] >= '0' && bytes[i] <= '9' && value <= INT_MAX)
        value = value * 10 + (bytes[i++] - '0');
    const std::size_t digits = i;
    while (i < size && (bytes[i] == '\n' || bytes[i] == '\r' || bytes[i] == ' ' || bytes[i] == '\t'))
        ++i;
    if (digits == 0 || i != size || size > kMaxFileBytes || value > INT_MAX) {
        warn(path, "is not a score; counted as 0");
        return {};
    }
    return {static_cast<int>(value), true};
}

bool save(const std::string& path, int score) {
    if (path.empty())
        return false;
    const std::string target = followLinks(path);
    std::string temporary = target + ".XXXXXX";
    const auto fail = [&](const char* step) {
        warn(path, std::string(step) + ": " + std::strerror(errno) + "; not saved");
        return false;
    };
    if (!makeParents(target))
        return fail("cannot make its directory");
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return fail("cannot create a temporary file");
    int error = writeAll(fd, std::to_string(score) + "\n") && fsync(fd) == 0 ? 0 : errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        errno = error;
        return fail("cannot write it");
    }
    return true;
}

} // namespace bestscore
