// File operations on POSIX systems (the native build).
#include "file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvane {
namespace {

bool writeFully(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Keeps the words of errno for the caller and passes `succeeded` on.
bool noteFailure(bool succeeded, std::string& lastError) {
    if (!succeeded)
        lastError = std::strerror(errno);
    return succeeded;
}

class PosixOutputFile : public OutputFile {
  public:
    PosixOutputFile(int fd, std::string& lastError) : fd_(fd), lastError_(lastError) {}
    ~PosixOutputFile() override { close(); }
    bool write(const std::uint8_t* data, std::size_t size) override {
        return fd_ >= 0 && noteFailure(writeFully(fd_, data, size), lastError_);
    }
    bool flush() override { return fd_ >= 0 && noteFailure(::fsync(fd_) == 0, lastError_); }
    bool close() override {
        if (fd_ < 0)
            return true;
        int result = ::close(fd_);
        fd_ = -1;
        return noteFailure(result == 0, lastError_);
    }

  private:
    int fd_;
    std::string& lastError_;
};

class PosixInputFile : public InputFile {
  public:
    PosixInputFile(int fd, std::uint64_t size, std::string& lastError)
        : fd_(fd), size_(size), lastError_(lastError) {}
    ~PosixInputFile() override { ::close(fd_); }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            ssize_t got = ::read(fd_, data, size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                lastError_ = std::strerror(got == 0 ? EIO : errno); // 0: the file shrank
                return false;
            }
            data += got;
            size -= static_cast<std::size_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    std::uint64_t size_;
    std::string& lastError_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> open(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (!noteFailure(fd >= 0, lastError_))
            return nullptr;
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            const int error = info.st_mode == 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
            lastError_ = std::strerror(error);
            ::close(fd);
            return nullptr;
        }
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return std::make_unique<PosixInputFile>(fd, static_cast<std::uint64_t>(info.st_size),
                                                lastError_);
    }

    std::unique_ptr<OutputFile> create(const std::string& path) override {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (!noteFailure(fd >= 0, lastError_))
            return nullptr;
        return std::make_unique<PosixOutputFile>(fd, lastError_);
    }

    bool exists(const std::string& path) override {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    bool keepBackup(const std::string& from, const std::string& to) override {
        ::unlink(to.c_str());
        if (::link(from.c_str(), to.c_str()) == 0)
            return true;
        std::vector<std::uint8_t> bytes;
        if (readAll(from, bytes, UINT64_MAX) != ReadResult::Ok)
            return false;
        auto file = create(to);
        return file && file->write(bytes.data(), bytes.size()) && file->flush() && file->close();
    }

    bool replace(const std::string& from, const std::string& to) override {
        if (!noteFailure(std::rename(from.c_str(), to.c_str()) == 0, lastError_))
            return false;
        // Make the rename itself durable.
        std::string folder = to.substr(0, to.find_last_of('/') + 1);
        int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }

    bool remove(const std::string& path) override {
        return noteFailure(::unlink(path.c_str()) == 0, lastError_);
    }

    std::string lastError() const override { return lastError_; }

  private:
    std::string lastError_;
};

} // namespace

FileSystem& platformFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace kolvane
