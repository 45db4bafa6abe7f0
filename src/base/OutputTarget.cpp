#include "base/OutputTarget.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Links followed before giving up, as the kernel does (ELOOP).
constexpr int kMaxLinkDepth = 40;
// Longest file name most Linux file systems take, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

OutputTarget refused(const std::string& reason, int systemError) {
    OutputTarget target;
    target.kind = OutputTarget::Kind::Refused;
    target.error = reason;
    target.systemError = systemError;
    return target;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The kind of what `path` leads to, judged by what stat() found there; the
// path itself is kept, so a link to a device is opened through the link.
OutputTarget byNode(const struct stat& node, const std::string& path) {
    OutputTarget target;
    target.path = path;
    if (S_ISREG(node.st_mode)) {
        target.kind = OutputTarget::Kind::File;
    } else if (S_ISCHR(node.st_mode) || S_ISFIFO(node.st_mode) || S_ISSOCK(node.st_mode)) {
        target.kind = OutputTarget::Kind::Stream;
        target.socket = S_ISSOCK(node.st_mode);
    } else if (S_ISDIR(node.st_mode)) {
        return refused("is a folder, not a file", EISDIR);
    } else {
        return refused("is not a file, a character device, a pipe or a socket", EINVAL);
    }
    return target;
}

} // namespace

OutputTarget classifyOutput(const std::string& path) {
    if (path.empty()) {
        return refused("no file name given", ENOENT);
    }
    std::string current = path;
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat node {};
        if (lstat(current.c_str(), &node) != 0) {
            if (errno == ENOENT) {
                // Nothing there yet: a new file, whose folder must exist
                // when the temporary file is made.
                OutputTarget target;
                target.kind = OutputTarget::Kind::File;
                target.path = current;
                return target;
            }
            return refused(std::strerror(errno), errno);
        }
        if (!S_ISLNK(node.st_mode)) {
            return byNode(node, current);
        }
        // A link to anything but a regular file (or nothing) is judged by
        // what it leads to, and used through the link: /dev/stdout leads to
        // a pipe that has no name of its own.
        struct stat followed {};
        if (stat(current.c_str(), &followed) == 0 && !S_ISREG(followed.st_mode)) {
            return byNode(followed, path);
        }
        char buffer[4096];
        const ssize_t length = readlink(current.c_str(), buffer, sizeof buffer);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
            return refused(length < 0 ? std::strerror(errno) : "the link's target is too long",
                           length < 0 ? errno : ENAMETOOLONG);
        }
        std::string next(buffer, static_cast<std::size_t>(length));
        if (next.front() != '/') {
            next = folderOf(current) + '/' + next;
        }
        current = next;
    }
    return refused("too many levels of symbolic links", ELOOP);
}

int openStreamTarget(const OutputTarget& target) {
    if (!target.socket) {
        // No O_TRUNC: a device or pipe has nothing to cut, and a tty would mind.
        return open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (target.path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, target.path.c_str(), target.path.size() + 1);
    for (const int type : {SOCK_STREAM, SOCK_SEQPACKET, SOCK_DGRAM}) {
        const int fd = socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        const int error = errno;
        close(fd);
        if (error != EPROTOTYPE) {
            errno = error;
            return -1;
        }
    }
    return -1;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    // SIGPIPE is held back while writing, and one raised by this write is
    // taken back, so a reader that went away gives EPIPE here.
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;

    bool ok = true;
    int error = 0;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, data + done, size - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            error = errno;
            break;
        }
        if (written == 0) {
            ok = false;
            error = EIO;
            break;
        }
        done += static_cast<std::size_t>(written);
    }
    if (error == EPIPE && !pendingBefore) {
        const timespec none{};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return ok;
}

int createTemporaryBeside(const std::string& path, std::string* tempPath) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(nameStart);
    const std::string suffixStart = ".tmp-";
    constexpr std::size_t kSuffixBytes = 11; // ".tmp-" and six letters
    if (name.size() + kSuffixBytes > kMaxNameBytes) {
        // A name near the length limit is cut, at a UTF-8 character
        // boundary, to leave room for the suffix.
        std::size_t keep = kMaxNameBytes - kSuffixBytes;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
            --keep;
        }
        name.resize(keep);
    }
    struct stat existing {};
    const bool replaces = stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::mt19937 draw(entropy());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = path.substr(0, nameStart) + name + suffixStart;
        for (int i = 0; i < 6; ++i) {
            candidate += kLetters[draw() % (sizeof kLetters - 1)];
        }
        // A new file gets the usual permissions less the umask; a replaced
        // file keeps its own, and its owner where the program may set it.
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return -1;
        }
        if (replaces) {
            if (fchmod(fd, existing.st_mode & 07777) != 0) {
                const int error = errno;
                close(fd);
                unlink(candidate.c_str());
                errno = error;
                return -1;
            }
            if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
                // Only the superuser may give a file away; anyone else
                // replaces the file as its own, as an editor would.
            }
        }
        *tempPath = candidate;
        return fd;
    }
    errno = EEXIST;
    return -1;
}

bool commitTemporary(int fd, const std::string& tempPath, const std::string& path) {
    int error = 0;
    if (fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(tempPath.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(tempPath.c_str());
        errno = error;
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}
