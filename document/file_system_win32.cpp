// File operations on Windows (the cross build), with wide paths.
#include "file_system.h"
#include "text.h"

#include <windows.h>

#include <algorithm>

namespace kolvane {
namespace {

std::wstring widePath(const std::string& path) {
    return utf8ToWide(path);
}

class Win32OutputFile : public OutputFile {
  public:
    explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
    ~Win32OutputFile() override { close(); }
    bool write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(handle_, data, chunk, &written, nullptr) || written != chunk)
                return false;
            data += written;
            size -= written;
        }
        return true;
    }
    bool flush() override { return FlushFileBuffers(handle_) != 0; }
    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE)
            return true;
        BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != 0;
    }

  private:
    HANDLE handle_;
};

class Win32InputFile : public InputFile {
  public:
    Win32InputFile(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
    ~Win32InputFile() override { CloseHandle(handle_); }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_, data, chunk, &got, nullptr) || got == 0)
                return false;
            data += got;
            size -= got;
        }
        return true;
    }

  private:
    HANDLE handle_;
    std::uint64_t size_;
};

class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> open(const std::string& path) override {
        HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file, &size)) {
            CloseHandle(file);
            return nullptr;
        }
        return std::make_unique<Win32InputFile>(file, static_cast<std::uint64_t>(size.QuadPart));
    }

    std::unique_ptr<OutputFile> create(const std::string& path) override {
        HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<Win32OutputFile>(file);
    }

    bool exists(const std::string& path) override {
        return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool keepBackup(const std::string& from, const std::string& to) override {
        std::wstring source = widePath(from), backup = widePath(to);
        DeleteFileW(backup.c_str());
        if (CreateHardLinkW(backup.c_str(), source.c_str(), nullptr))
            return true;
        return CopyFileW(source.c_str(), backup.c_str(), FALSE) != 0;
    }

    bool replace(const std::string& from, const std::string& to) override {
        return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    bool remove(const std::string& path) override {
        return DeleteFileW(widePath(path).c_str()) != 0;
    }
};

} // namespace

FileSystem& platformFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

} // namespace kolvane
