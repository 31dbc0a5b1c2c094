// The account file (*.kvn): a magic, a flag byte and counted sections of
// records, read and written field by field in little-endian order.
#pragma once

#include "document.h"
#include "file_system.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kolvane {

inline constexpr char kAccountFileMagic[8] = {'K', 'o', 'l', 'v', 'a', 'n', 'e', ' '};

// Files are read and written through one buffer of this size, whatever their
// size.
inline constexpr std::size_t kFileChunkBytes = std::size_t{256} << 10;

// Why a load was refused; `Ok` when it succeeded.
enum class LoadStatus {
    Ok,
    CannotOpen, // missing, not a regular file, or a read failed
    TooLarge,
    Empty,            // no byte at all
    NotAnAccountFile, // the first eight bytes are not the magic
    Truncated,        // a count, a length or a record runs past the end
    BadLogoLength,    // a logo block whose length is neither 0 nor its size
    TrailingBytes,    // bytes after the last operation
    OutOfMemory,
};

// A short English description of a load status, for the command-line tool.
[[nodiscard]] const char* describeLoadStatus(LoadStatus status);

// Saves through a temporary file in the same folder, keeps the previous file
// as PATH.bak, then replaces PATH in one rename. On any failure the previous
// file is untouched, `filePath` and `isModified` are unchanged and false is
// returned, with the system's words for the failure in `reason` when given.
// Paths are UTF-8.
[[nodiscard]] bool saveDocument(Document& doc, const std::string& path);
[[nodiscard]] bool saveDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                                std::string* reason = nullptr);

// `doc` must be empty (initialised or closed). On failure it is left empty.
// When given, `lineCount` receives the number of ventilation lines loaded, so
// that a caller who only counts them need not walk the operations again.
[[nodiscard]] bool loadDocument(Document& doc, const std::string& path);
[[nodiscard]] LoadStatus loadDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                                      std::uint64_t* lineCount = nullptr);
[[nodiscard]] LoadStatus loadDocumentFromBytes(Document& doc, std::span<const std::uint8_t> bytes);

// A load in stages, so that the user can be asked who they are while the
// operations are still being read: `readUsers` reads the file up to its users,
// `readRest` the rest, and `finish` ends the load all or nothing (a refusal at
// either stage leaves the document empty). `readRest` may run on a second
// thread while the first one reads the document's users, and nothing else of
// it: the document is not open (`isOpen` is 0) until `finish`. No other
// thread may make or drop records meanwhile (their pools are not shared
// between threads).
class StagedLoad {
  public:
    StagedLoad(Document& doc, std::string path, FileSystem& fileSystem);
    ~StagedLoad();
    StagedLoad(const StagedLoad&) = delete;
    StagedLoad& operator=(const StagedLoad&) = delete;

    // `doc` must be empty. On a refusal the document is left empty and the
    // load is over.
    [[nodiscard]] LoadStatus readUsers();
    void readRest();
    [[nodiscard]] LoadStatus finish();
    // `readRest` on a second thread while `meanwhile` runs on this one (one
    // after the other when no thread can be made), then `finish`.
    [[nodiscard]] LoadStatus readRestWhile(const std::function<void()>& meanwhile);

    // Ventilation lines loaded, once finished.
    std::uint64_t linesRead() const { return linesRead_; }

  private:
    struct State;
    Document& doc_;
    std::string path_;
    FileSystem& fileSystem_;
    std::unique_ptr<State> state_;
    std::uint64_t linesRead_ = 0;
};

// Walks the file's layout as a load would, keeping nothing: the refusal a
// load of the file would meet (`Ok` when it would load, memory allowing),
// found without allocating for its records.
[[nodiscard]] LoadStatus checkAccountFile(const std::string& path, FileSystem& fileSystem);

// The file image of a document, and its size.
std::vector<std::uint8_t> serializeDocument(const Document& doc);
std::uint64_t documentFileSize(const Document& doc);

} // namespace kolvane
