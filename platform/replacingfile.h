#pragma once
// Files replaced whole: a reader finds the old file or the new one, never a
// part of either, whatever stops the write (a full disk, a file size limit,
// a crash).

#include <QString>

#include <sys/stat.h>

#include <cstdint>
#include <span>

// Writes bytes to a new file in the folder of path, with the permissions of
// mode, flushed to disk, and only then puts it in path's place; EError saying
// why otherwise, the file at path as it was and no new file left behind.
void WriteReplacing(const QString& path, std::span<const std::uint8_t> bytes, mode_t mode = S_IRUSR | S_IWUSR);
