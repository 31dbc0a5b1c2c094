// File operations on Windows (the cross build), with wide paths.
#include "file_system.h"
#include "text.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace kolvane {
namespace {

std::wstring widePath(const std::string& path) {
    return utf8ToWide(path);
}

// The system's message for `error`, in the user's language, without the
// line break and the period that end it.
std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    if (message.empty())
        message = L"erreur " + std::to_wstring(error);
    return wideToUtf8(message);
}

// Keeps the system's words for a failed call and passes `succeeded` on.
bool noteFailure(bool succeeded, std::string& lastError) {
    if (!succeeded)
        lastError = systemMessage(GetLastError());
    return succeeded;
}

class Win32OutputFile : public OutputFile {
  public:
    Win32OutputFile(HANDLE handle, std::string& lastError)
        : handle_(handle), lastError_(lastError) {}
    ~Win32OutputFile() override { close(); }
    bool write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!noteFailure(WriteFile(handle_, data, chunk, &written, nullptr) != 0, lastError_))
                return false;
            if (written != chunk) {
                lastError_ = systemMessage(ERROR_DISK_FULL);
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }
    bool flush() override { return noteFailure(FlushFileBuffers(handle_) != 0, lastError_); }
    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE)
            return true;
        BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return noteFailure(closed != 0, lastError_);
    }

  private:
    HANDLE handle_;
    std::string& lastError_;
};

class Win32InputFile : public InputFile {
  public:
    Win32InputFile(HANDLE handle, std::uint64_t size, std::string& lastError)
        : handle_(handle), size_(size), lastError_(lastError) {}
    ~Win32InputFile() override { CloseHandle(handle_); }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD got = 0;
            if (!noteFailure(ReadFile(handle_, data, chunk, &got, nullptr) != 0, lastError_))
                return false;
            if (got == 0) {
                lastError_ = systemMessage(ERROR_HANDLE_EOF); // the file shrank
                return false;
            }
            data += got;
            size -= got;
        }
        return true;
    }

  private:
    HANDLE handle_;
    std::uint64_t size_;
    std::string& lastError_;
};

class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<InputFile> open(const std::string& path) override {
        HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (!noteFailure(file != INVALID_HANDLE_VALUE, lastError_))
            return nullptr;
        LARGE_INTEGER size{};
        if (!noteFailure(GetFileSizeEx(file, &size) != 0, lastError_)) {
            CloseHandle(file);
            return nullptr;
        }
        return std::make_unique<Win32InputFile>(file, static_cast<std::uint64_t>(size.QuadPart),
                                                lastError_);
    }

    std::unique_ptr<OutputFile> create(const std::string& path) override {
        HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!noteFailure(file != INVALID_HANDLE_VALUE, lastError_))
            return nullptr;
        return std::make_unique<Win32OutputFile>(file, lastError_);
    }

    bool exists(const std::string& path) override {
        return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool keepBackup(const std::string& from, const std::string& to) override {
        std::wstring source = widePath(from), backup = widePath(to);
        DeleteFileW(backup.c_str());
        if (CreateHardLinkW(backup.c_str(), source.c_str(), nullptr))
            return true;
        return noteFailure(CopyFileW(source.c_str(), backup.c_str(), FALSE) != 0, lastError_);
    }

    bool replace(const std::string& from, const std::string& to) override {
        return noteFailure(MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0,
                           lastError_);
    }

    bool remove(const std::string& path) override {
        return noteFailure(DeleteFileW(widePath(path).c_str()) != 0, lastError_);
    }

    std::string lastError() const override { return lastError_; }

  private:
    std::string lastError_;
};

} // namespace

FileSystem& platformFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

} // namespace kolvane
