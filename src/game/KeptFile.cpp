// The kept files' rules: where they live, looking at one without blocking, and replacing it
// atomically through a temporary file, a rename and a sync of its directory.
#include "game/KeptFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace keptfile {

namespace {

constexpr mode_t kDirectoryMode = 0700;
constexpr mode_t kPermissionBits = 07777;

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

// Players link the files into synced folders: a rename onto the link would replace the link
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

Found kept(std::string why) {
    return {Found::kKept, {}, 0, std::move(why)};
}

// Reads all of a regular file up to `limit` bytes and one more, so that a longer file shows. The
// buffer starts at the size the file said it had (`expected`) and grows only if the file has grown,
// so a small file of a kind that may be large costs what it holds, not the kind's limit.
std::string readUpTo(int fd, std::size_t expected, std::size_t limit, int& error) {
    std::string bytes(std::min(expected, limit) + 1, '\0');
    std::size_t size = 0;
    while (size <= limit) {
        if (size == bytes.size())
            bytes.resize(std::min(bytes.size() * 2, limit + 1));
        const ssize_t n = read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    bytes.resize(size);
    return bytes;
}

// The rename is only on disk once the directory holding it is: sync it, or a crash can bring
// back the old file or no file at all. A file system that cannot sync a directory says EINVAL
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

std::string underDataHome(const std::string& relative) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/" + relative;
    const std::string home = homeDirectory();
    return home.empty() ? "" : home + "/.local/share/" + relative;
}

void warn(const FileKind& kind, const std::string& path, const std::string& what) {
    std::fprintf(stderr, "pellvane: %s %s: %s\n", kind.noun, path.c_str(), what.c_str());
}

Found inspect(const FileKind& kind, const std::string& path) {
    // Without O_NONBLOCK a FIFO at the path would hold the game until someone writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Found{} : kept(std::strerror(errno));
    struct stat status {};
    int error = fstat(fd, &status) == 0 ? 0 : errno;
    const bool regular = error == 0 && S_ISREG(status.st_mode);
    const bool fits = static_cast<std::size_t>(status.st_size) <= kind.maxBytes;
    std::string bytes;
    if (regular && fits)
        bytes = readUpTo(fd, static_cast<std::size_t>(status.st_size), kind.maxBytes, error);
    close(fd);
    if (error != 0)
        return kept(std::strerror(error));
    if (!regular)
        return kept("is not a regular file");
    if (!fits || bytes.size() > kind.maxBytes)
        return kept(std::string("is larger than ") + kind.holds + " can be");
    std::string why;
    if (!kind.recognise(bytes, why))
        return kept(why.empty() ? std::string("is not ") + kind.holds : why);
    return {Found::kOurs, std::move(bytes), status.st_mode & kPermissionBits, {}};
}

bool replace(const FileKind& kind, const std::string& path, const std::string& text) {
    if (path.empty())
        return false;
    const std::string target = followLinks(path);
    // Looked at again: what was read at start-up may have been replaced since.
    const Found existing = inspect(kind, target);
    if (existing.kind == Found::kKept) {
        warn(kind, path, existing.why + "; not saved");
        return false;
    }
    std::string temporary = target + ".XXXXXX";
    const auto fail = [&](const char* step) {
        warn(kind, path, std::string(step) + ": " + std::strerror(errno) + "; not saved");
        return false;
    };
    if (!makeParents(target))
        return fail("cannot make its directory");
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return fail("cannot create a temporary file");
    // mkstemp makes 0600; a file the player gave other permissions keeps them.
    int error = existing.kind == Found::kOurs && fchmod(fd, existing.mode) != 0 ? errno : 0;
    if (error == 0 && !(writeAll(fd, text) && fsync(fd) == 0))
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
        warn(kind, path,
             std::string("saved, but its directory cannot be synced: ") + std::strerror(errno) +
                 "; a crash may still lose it");
        return false;
    }
    return true;
}

} // namespace keptfile
