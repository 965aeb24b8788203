#pragma once
// System calls for the writers' tests that fail the chosen call, after letting
// `writesBeforeFailure` writes through; can also cut every write short to exercise partial writes.

#include <cerrno>
#include <cstddef>

#include "recording/AtomicFile.h"

namespace shakemeter::test {

class FailingCalls : public FileSystemCalls {
public:
    enum class Fail { Nothing, Write, Fsync, Close, Rename, SecondRename };
    Fail fail = Fail::Nothing;
    int writesBeforeFailure = 0;
    std::size_t maxWrite = 0;  // 0: no limit
    int renames = 0;

    // The disk fills after `writes` more writes of at most `size` bytes.
    void FillAfter(int writes, std::size_t size)
    {
        fail = Fail::Write;
        writesBeforeFailure = writes;
        maxWrite = size;
    }

    ssize_t write(int fd, const void* data, std::size_t size) override
    {
        if (fail == Fail::Write && writesBeforeFailure-- <= 0) {
            errno = ENOSPC;
            return -1;
        }
        if (maxWrite != 0 && size > maxWrite)
            size = maxWrite;
        return FileSystemCalls::write(fd, data, size);
    }
    int fsync(int fd) override
    {
        if (fail == Fail::Fsync) {
            errno = EIO;
            return -1;
        }
        return FileSystemCalls::fsync(fd);
    }
    int close(int fd) override
    {
        const int result = FileSystemCalls::close(fd);
        if (fail == Fail::Close) {
            errno = EIO;
            return -1;
        }
        return result;
    }
    int rename(const char* from, const char* to) override
    {
        ++renames;
        if (fail == Fail::Rename || (fail == Fail::SecondRename && renames == 2)) {
            errno = EXDEV;
            return -1;
        }
        return FileSystemCalls::rename(from, to);
    }
};

}  // namespace shakemeter::test
