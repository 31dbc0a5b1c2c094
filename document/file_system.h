// The few file operations that the account file needs, behind an interface so
// that tests can make any step fail. The POSIX implementation lives in
// file_system_posix.cpp and the Win32 one in file_system_win32.cpp; each
// build links exactly one of them as `platformFileSystem()`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kolvane {

class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
    // Pushes the data to the disk; false when it could not be done.
    virtual bool flush() = 0;
    virtual bool close() = 0;
};

class InputFile {
  public:
    virtual ~InputFile() = default;
    // The size of the file when it was opened.
    virtual std::uint64_t size() const = 0;
    // Reads exactly `size` bytes from where the previous read stopped; false
    // when the file cannot give them (a read error, a file that shrank).
    [[nodiscard]] virtual bool read(std::uint8_t* data, std::size_t size) = 0;
};

enum class ReadResult { Ok, CannotOpen, TooLarge, ReadError };

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Opens a regular file for reading; null when it is missing or cannot be
    // opened.
    virtual std::unique_ptr<InputFile> open(const std::string& path) = 0;
    // Reads a whole file. Files larger than `maxSize` are refused before
    // anything is allocated.
    [[nodiscard]] ReadResult readAll(const std::string& path, std::vector<std::uint8_t>& out,
                                     std::uint64_t maxSize);
    // Creates (or truncates) a file that no one else may open meanwhile.
    virtual std::unique_ptr<OutputFile> create(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Makes `backup` hold the current content of `path` (a hard link where the
    // disk allows it, else a copy), replacing any older backup.
    virtual bool keepBackup(const std::string& path, const std::string& backup) = 0;
    // Replaces `to` by `from` in one step, writing through to the disk.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // The system's own words for the last step that failed (UTF-8, in the
    // system's language, without a final period); empty when it gave none.
    virtual std::string lastError() const = 0;
};

// Paths are UTF-8.
FileSystem& platformFileSystem();

// Has `writeContent` write PATH.tmp in the same folder, flushes it, optionally
// keeps the current PATH as `backupPath`, then replaces PATH in one step. On
// any failure (`writeContent` returning false among them) the temporary file
// is removed, PATH is untouched and false returned; `reason`, when given,
// receives the system's words for the step that failed.
using ContentWriter = std::function<bool(OutputFile& file)>;
[[nodiscard]] bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                                      const ContentWriter& writeContent,
                                      const std::string& backupPath = {},
                                      std::string* reason = nullptr);
[[nodiscard]] bool replaceFileContent(FileSystem& fileSystem, const std::string& path,
                                      const std::vector<std::uint8_t>& bytes,
                                      const std::string& backupPath = {},
                                      std::string* reason = nullptr);

} // namespace kolvane
