// The best score file: where it lives, reading it strictly, and replacing it atomically.
#include "game/BestScore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace bestscore {

namespace {

// A best score is at most ten digits and a line break; anything longer is not one.
constexpr std::size_t kMaxFileBytes = 32;
constexpr mode_t kDirectoryMode = 0700;
constexpr mode_t kPermissionBits = 07777;

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

// What lies at the path. Only a missing file or one holding a score may be replaced: anything
// else is a file of the player's (a link into their home can name any of them) or a score this
// run could not read, and replacing it would lose it.
struct Found {
    enum Kind { kMissing, kScore, kKept } kind = kMissing;
    int score = 0;
    mode_t mode = 0;
    // Why a kept file is kept, for the warning.
    std::string why;
};

Found kept(std::string why) {
    return {Found::kKept, 0, 0, std::move(why)};
}

// Reads all of a regular file up to `limit` bytes and one more, so that a longer file shows.
std::size_t readUpTo(int fd, char* bytes, std::size_t limit, int& error) {
    std::size_t size = 0;
    while (size <= limit) {
        const ssize_t n = read(fd, bytes + size, limit + 1 - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    return size;
}

// Strict: a decimal number from 0 to INT_MAX, optionally followed by white space.
bool parseScore(const char* bytes, std::size_t size, int& score) {
    std::size_t i = 0;
    long long value = 0;
    while (i < size && bytes[i] >= '0' && bytes[i] <= '9' && value <= INT_MAX)
        value = value * 10 + (bytes[i++] - '0');
    const std::size_t digits = i;
    while (i < size && (bytes[i] == '\n' || bytes[i] == '\r' || bytes[i] == ' ' || bytes[i] == '\t'))
        ++i;
    if (digits == 0 || i != size || value > INT_MAX)
        return false;
    score = static_cast<int>(value);
    return true;
}

Found inspect(const std::string& path) {
    // Without O_NONBLOCK a FIFO at the path would hold start-up until someone writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Found{} : kept(std::strerror(errno));
    struct stat status {};
    int error = fstat(fd, &status) == 0 ? 0 : errno;
    char bytes[kMaxFileBytes + 1];
    std::size_t size = 0;
    if (error == 0 && S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) <= kMaxFileBytes)
        size = readUpTo(fd, bytes, kMaxFileBytes, error);
    close(fd);
    if (error != 0)
        return kept(std::strerror(error));
    if (!S_ISREG(status.st_mode))
        return kept("is not a regular file");
    if (static_cast<std::size_t>(status.st_size) > kMaxFileBytes || size > kMaxFileBytes)
        return kept("is larger than a score can be");
    Found found{Found::kScore, 0, status.st_mode & kPermissionBits, {}};
    if (!parseScore(bytes, size, found.score))
        return kept("is not a score");
    return found;
}

// The rename is only on disk once the directory holding it is: sync it, or a crash can bring
// back the old score or no file at all. A file system that cannot sync a directory says EINVAL
// and has nothing better to offer.
bool syncDirectoryOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    errno = error;
    return error == 0;
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
    const Found found = inspect(path);
    switch (found.kind) {
    case Found::kMissing:
        warn(path, "none yet; starting from 0");
        return {};
    case Found::kScore:
        return {found.score, true};
    case Found::kKept:
        break;
    }
    warn(path, found.why + "; counted as 0 and left as it is during this run");
    return {0, false};
}

bool save(const std::string& path, int score) {
    if (path.empty())
        return false;
    const std::string target = followLinks(path);
    // Looked at again: what load found may have been replaced since.
    const Found existing = inspect(target);
    if (existing.kind == Found::kKept) {
        warn(path, existing.why + "; not saved");
        return false;
    }
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
    // mkstemp makes 0600; a score file the player gave other permissions keeps them.
    int error = existing.kind == Found::kScore && fchmod(fd, existing.mode) != 0 ? errno : 0;
    if (error == 0 && !(writeAll(fd, std::to_string(score) + "\n") && fsync(fd) == 0))
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        errno = error;
        return fail("cannot write it");
    }
    if (!syncDirectoryOf(target)) {
        warn(path, std::string("saved, but its directory cannot be synced: ") + std::strerror(errno) +
                       "; a crash may still lose it");
        return false;
    }
    return true;
}

} // namespace bestscore
