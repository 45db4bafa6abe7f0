#pragma once

#include <string>

// What an output path names, and so how a file is written to it. One rule
// for every file the programs write:
// - nothing there, or a regular file: written whole through a temporary file
//   beside it and a rename, so a failure leaves the old file as it was;
// - a symbolic link: the same, to the file the link leads to (in that file's
//   folder), so the link stays a link; a link to nothing creates its target;
// - a character device, a FIFO or a socket (/dev/null, /dev/stdout, a named
//   pipe to another program): written straight to, never replaced;
// - a folder or anything else: refused.
// Plain POSIX, shared by the text writers and the offline audio renderer.
struct OutputTarget {
    enum class Kind {
        File,    // write whole to `path` through a temporary file and a rename
        Stream,  // write straight to `path` (open it for writing, no rename)
        Refused, // `error` says why
    };
    Kind kind = Kind::Refused;
    std::string path;  // File: the regular file to replace (a link resolved); Stream: as given
    std::string error; // Refused: the reason, without the path
    int systemError = 0;
    bool socket = false; // Stream: a socket, reached by connecting rather than opening
};

OutputTarget classifyOutput(const std::string& path);

// Opens a Stream target for writing (a socket is connected); -1 with errno
// set on failure. The descriptor is close-on-exec.
int openStreamTarget(const OutputTarget& target);

// Writes all of `size` bytes to `fd`, retrying short writes and interrupted
// calls; false with errno set on failure. A pipe whose reader has gone gives
// EPIPE, not a SIGPIPE that would end the program.
bool writeAll(int fd, const char* data, std::size_t size);

// A temporary file beside `path` for writing it whole, created exclusively
// with the permissions the file already has (or those of a new file); -1 with
// errno set on failure. `tempPath` receives its name.
int createTemporaryBeside(const std::string& path, std::string* tempPath);

// Flushes the temporary file to disk, closes it and renames it over `path`,
// then flushes the folder. Any failure removes the temporary file, leaves
// `path` as it was and returns false with errno set. Closes `fd` in any case.
bool commitTemporary(int fd, const std::string& tempPath, const std::string& path);
