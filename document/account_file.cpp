#include "account_file.h"

#include "record_fields.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace kolvane {
namespace {

// Larger files cannot come from a document this program wrote (every count is
// 32-bit but real files stay far below this) and are refused unread.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 32;

// The largest run of bytes read or written in one piece: a logo's pixels.
constexpr std::size_t kLargestPiece = kLogoPixelBytes;
static_assert(kFileChunkBytes >= kLargestPiece);

// A read that the file could not deliver after all.
constexpr LoadStatus kReadFailure = LoadStatus::CannotOpen;

// Where the writer's full buffers go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    [[nodiscard]] virtual bool put(const std::uint8_t* data, std::size_t size) = 0;
};

// Writes records into one buffer, handed to the sink each time it fills up
// and then reused. The first failure of the sink is kept: nothing more is
// handed on, and finish() reports it.
class Writer {
  public:
    Writer(std::span<std::uint8_t> buffer, ByteSink& sink)
        : begin_(buffer.data()), next_(buffer.data()), end_(buffer.data() + buffer.size()),
          sink_(sink) {}
    bool failed() const { return failed_; }

    // Room for the next `size` bytes, to be filled at once.
    std::uint8_t* take(std::size_t size) {
        if (size > static_cast<std::size_t>(end_ - next_)) {
            drain();
            if (size > static_cast<std::size_t>(end_ - next_)) {
                failed_ = true; // cannot happen: every piece fits the buffer
                return begin_;
            }
        }
        std::uint8_t* at = next_;
        next_ += size;
        return at;
    }
    [[nodiscard]] bool finish() {
        drain();
        return !failed_;
    }

    void u8(std::uint8_t v) { *take(1) = v; }
    void u32(std::uint32_t v) { std::memcpy(take(4), &v, 4); }
    void bytes(const void* data, std::size_t size) { std::memcpy(take(size), data, size); }
    void zeros(std::size_t size) { std::memset(take(size), 0, size); }

  private:
    void drain() {
        if (!failed_ && next_ != begin_ &&
            !sink_.put(begin_, static_cast<std::size_t>(next_ - begin_)))
            failed_ = true;
        next_ = begin_;
    }

    std::uint8_t* begin_;
    std::uint8_t* next_;
    std::uint8_t* end_;
    ByteSink& sink_;
    bool failed_ = false;
};

// Reads the file image in memory, or a file through one buffer refilled chunk
// by chunk. The file's size is known from the start, so `has` tells whether
// the file still holds some bytes before anything is allocated for them. The
// first failure is kept, as the reason of the refusal, and every later `need`
// fails.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes)
        : next_(bytes.data()), end_(bytes.data() + bytes.size()), size_(bytes.size()),
          fetched_(bytes.size()) {}
    Reader(InputFile& file, std::span<std::uint8_t> buffer)
        : next_(buffer.data()), end_(buffer.data()), size_(file.size()), file_(&file),
          buffer_(buffer) {}

    std::uint64_t remaining() const { return size_ - fetched_ + buffered(); }
    bool has(std::uint64_t size) const { return size <= remaining(); }
    LoadStatus status() const { return status_; }
    // Ventilation lines read so far.
    std::uint64_t linesRead = 0;

    // Keeps `status` as the reason of the refusal unless one is already kept.
    // Returns false, for the callers to return at once.
    bool fail(LoadStatus status) {
        if (status_ == LoadStatus::Ok)
            status_ = status;
        end_ = next_; // every later `need` goes the slow way, and fails
        return false;
    }

    // Makes the next `size` bytes readable: false, the reason kept, when the
    // file ends before them or cannot be read.
    [[nodiscard]] bool need(std::size_t size) { return size <= buffered() || refill(size); }
    // The next `size` bytes, made readable by `need`.
    const std::uint8_t* take(std::size_t size) {
        const std::uint8_t* at = next_;
        next_ += size;
        return at;
    }
    std::uint8_t u8() { return *take(1); }
    std::uint32_t u32() {
        std::uint32_t v;
        std::memcpy(&v, take(4), 4);
        return v;
    }

  private:
    std::size_t buffered() const { return static_cast<std::size_t>(end_ - next_); }
    bool refill(std::size_t size) {
        if (status_ != LoadStatus::Ok)
            return false;
        if (!has(size))
            return fail(LoadStatus::Truncated);
        const std::size_t kept = buffered();
        if (!file_ || size > buffer_.size())
            return fail(kReadFailure);
        std::memmove(buffer_.data(), next_, kept);
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer_.size() - kept, size_ - fetched_));
        if (!file_->read(buffer_.data() + kept, wanted))
            return fail(kReadFailure);
        fetched_ += wanted;
        next_ = buffer_.data();
        end_ = next_ + kept + wanted;
        return true;
    }

    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t size_;
    std::uint64_t fetched_ = 0; // bytes taken from the file so far
    InputFile* file_ = nullptr;
    std::span<std::uint8_t> buffer_;
    LoadStatus status_ = LoadStatus::Ok;
};

// --- records, through their field lists -----------------------------------------

template <class Record> void writeRecord(Writer& w, const Record& record) {
    FieldRuns<Record>::store(record, w.take(RecordFields<Record>::fileSize));
}

// `lineCount` is written as the number of lines that really follow, so the
// file stays readable even if a caller left the two out of step.
void writeOperation(Writer& w, const OperationRecord& operation, std::uint32_t lineCount) {
    std::uint8_t* out = w.take(kOperationFileSize);
    FieldRuns<OperationRecord>::store(operation, out);
    std::memcpy(out + RecordFields<OperationRecord>::lineCountAt, &lineCount, 4);
}

template <class Record> [[nodiscard]] bool readRecord(Reader& r, Record& record) {
    constexpr std::size_t size = RecordFields<Record>::fileSize;
    if (!r.need(size))
        return false;
    FieldRuns<Record>::load(r.take(size), record);
    return true;
}

// Reads a 32-bit count and checks that the file holds at least `count`
// entries of `smallestEntry` bytes, before anything is allocated for them.
[[nodiscard]] bool readCount(Reader& r, std::size_t smallestEntry, std::uint32_t& count) {
    if (!r.need(4))
        return false;
    count = r.u32();
    return r.has(std::uint64_t{count} * smallestEntry) || r.fail(LoadStatus::Truncated);
}

template <class Record> void writeSection(Writer& w, const RecordList<Record>& list) {
    w.u32(static_cast<std::uint32_t>(list.count()));
    for (const Record& record : list)
        writeRecord(w, record);
}

template <class Record> [[nodiscard]] bool readSection(Reader& r, RecordList<Record>& list) {
    std::uint32_t count = 0;
    if (!readCount(r, RecordFields<Record>::fileSize, count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        Record* record = list.appendEmpty();
        if (!record)
            return r.fail(LoadStatus::OutOfMemory);
        if (!readRecord(r, *record))
            return false;
    }
    return true;
}

std::uint32_t linesToWrite(const OperationRecord& operation) {
    return operation.lineCount && operation.lines
               ? static_cast<std::uint32_t>(operation.lines->count())
               : 0;
}

void writeAccounts(Writer& w, const Document& doc) {
    w.u32(static_cast<std::uint32_t>(doc.accounts.count()));
    for (const AccountRecord& account : doc.accounts) {
        writeRecord(w, account);
        if (const Logo* logo = accountLogo(doc, account)) {
            w.u32(kLogoPixelBytes);
            w.bytes(logo->pixels.data(), kLogoPixelBytes);
            w.u32(kLogoMaskBytes);
            w.bytes(logo->mask.data(), kLogoMaskBytes);
        } else {
            w.u32(0);
            w.u32(0);
        }
    }
}

void writeOperations(Writer& w, const OperationList& operations) {
    w.u32(static_cast<std::uint32_t>(operations.count()));
    for (const OperationRecord& operation : operations) {
        if (w.failed())
            return; // the disk refused a chunk: the rest would go nowhere
        std::uint32_t lineCount = linesToWrite(operation);
        writeOperation(w, operation, lineCount);
        if (lineCount)
            for (const VentilationLine& line : *operation.lines)
                writeOperation(w, line, 0);
    }
}

void writeDocument(Writer& w, const Document& doc) {
    w.bytes(kAccountFileMagic, 8);
    w.u8(doc.alertsEnabled ? 1 : 0);
    writeSection(w, doc.users);
    writeSection(w, doc.modes);
    writeSection(w, doc.categories);
    w.zeros(64);
    writeSection(w, doc.labels);
    writeSection(w, doc.reserved);
    writeAccounts(w, doc);
    writeSection(w, doc.thirds);
    writeOperations(w, doc.operations);
}

// A logo block: its length, then its bytes, copied to `block` unless it is
// null (the layout walk keeps nothing). `present` is false when the length
// is 0 (no block).
[[nodiscard]] bool readLogoBlock(Reader& r, std::size_t blockSize, std::uint8_t* block,
                                 bool& present) {
    present = false;
    if (!r.need(4))
        return false;
    std::uint32_t length = r.u32();
    if (length == 0)
        return true;
    if (length != blockSize)
        return r.fail(LoadStatus::BadLogoLength);
    if (!r.need(length))
        return false;
    const std::uint8_t* bytes = r.take(length);
    if (block)
        std::memcpy(block, bytes, length);
    present = true;
    return true;
}

// An account's logo: its pixels and its mask, or neither; one without the
// other is damage. Copied to `pixels` and `mask` unless they are null.
[[nodiscard]] bool readLogo(Reader& r, std::uint8_t* pixels, std::uint8_t* mask, bool& present) {
    bool hasMask = false;
    if (!readLogoBlock(r, kLogoPixelBytes, pixels, present) ||
        !readLogoBlock(r, kLogoMaskBytes, mask, hasMask))
        return false;
    return present == hasMask || r.fail(LoadStatus::BadLogoLength);
}

[[nodiscard]] bool readAccounts(Reader& r, Document& doc) {
    constexpr std::uint64_t kSmallestEntry = kAccountFileSize + 8;
    std::uint32_t count = 0;
    if (!readCount(r, kSmallestEntry, count))
        return false;
    // The blocks are copied out of the read buffer before the next read moves it.
    std::array<std::uint8_t, kLogoPixelBytes> pixels;
    std::array<std::uint8_t, kLogoMaskBytes> mask;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kSmallestEntry))
            return r.fail(LoadStatus::Truncated);
        AccountRecord* account = doc.accounts.appendEmpty();
        if (!account)
            return r.fail(LoadStatus::OutOfMemory);
        if (!readRecord(r, *account))
            return false;
        std::uint32_t next =
            std::max<std::uint32_t>(doc.nextAccountNumber, partyNumber(account->id) + 1);
        doc.nextAccountNumber = static_cast<std::uint16_t>(next);
        bool hasLogo = false;
        if (!readLogo(r, pixels.data(), mask.data(), hasLogo))
            return false;
        if (hasLogo) {
            account->logo = doc.logos.add(pixels, mask);
            if (account->logo == kNoLogo)
                return r.fail(LoadStatus::OutOfMemory);
        }
    }
    return true;
}

[[nodiscard]] bool readThirds(Reader& r, Document& doc) {
    if (!readSection(r, doc.thirds))
        return false;
    for (const ThirdRecord& third : doc.thirds) {
        std::uint32_t next =
            std::max<std::uint32_t>(doc.nextThirdNumber, partyNumber(third.id) + 1);
        doc.nextThirdNumber = static_cast<std::uint16_t>(next);
    }
    return true;
}

[[nodiscard]] bool readLines(Reader& r, OperationRecord& operation) {
    if (!r.has(std::uint64_t{operation.lineCount} * kOperationFileSize))
        return r.fail(LoadStatus::Truncated);
    operation.lines = new (std::nothrow) OperationList;
    if (!operation.lines)
        return r.fail(LoadStatus::OutOfMemory);
    r.linesRead += operation.lineCount;
    for (std::uint32_t l = 0; l < operation.lineCount; ++l) {
        VentilationLine* line = operation.lines->appendEmpty();
        if (!line)
            return r.fail(LoadStatus::OutOfMemory);
        if (!readRecord(r, *line))
            return false;
        // A line has no lines of its own; its count word carries nothing.
        line->lineCount = 0;
    }
    return true;
}

// Tells a pool how many slots the next allocations will ask for, while it lives.
class ExpectedSlots {
  public:
    ExpectedSlots(SlabPool& pool, std::size_t slots) : pool_(pool) { pool_.expect(slots); }
    ~ExpectedSlots() { pool_.expect(0); }
    ExpectedSlots(const ExpectedSlots&) = delete;
    ExpectedSlots& operator=(const ExpectedSlots&) = delete;

  private:
    SlabPool& pool_;
};

[[nodiscard]] bool readOperations(Reader& r, Document& doc) {
    std::uint32_t count = 0;
    if (!readCount(r, kOperationFileSize, count))
        return false;
    // The count is checked against the file's size: so many nodes may come,
    // and as many lists of lines at most.
    ExpectedSlots nodes(OperationList::nodePool(), count);
    ExpectedSlots lists(OperationList::listPool(), count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kOperationFileSize))
            return r.fail(LoadStatus::Truncated);
        OperationRecord* operation = doc.operations.appendEmpty();
        if (!operation)
            return r.fail(LoadStatus::OutOfMemory);
        if (!readRecord(r, *operation))
            return false;
        doc.nextOperationId = std::max(doc.nextOperationId, operation->id + 1);
        if (operation->lineCount != 0 && !readLines(r, *operation))
            return false;
    }
    return true;
}

// The magic and the flag byte.
[[nodiscard]] bool readMagic(Reader& r, std::uint32_t& flags) {
    if (r.remaining() == 0)
        return r.fail(LoadStatus::Empty);
    if (!r.has(9))
        return r.fail(r.has(8) ? LoadStatus::Truncated : LoadStatus::NotAnAccountFile);
    if (!r.need(9))
        return false;
    if (std::memcmp(r.take(8), kAccountFileMagic, 8) != 0)
        return r.fail(LoadStatus::NotAnAccountFile);
    flags = r.u8();
    return true;
}

// Reads the file up to its users: all that asking who the user is needs.
[[nodiscard]] bool parseHead(Reader& r, Document& doc) {
    return readMagic(r, doc.alertsEnabled) && readSection(r, doc.users);
}

// --- the layout alone ----------------------------------------------------------
// The same walk through the file as the load, keeping nothing: every refusal
// that the bytes can cause, found without allocating for the records.

[[nodiscard]] bool skip(Reader& r, std::uint64_t size) {
    while (size > 0) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, kLargestPiece));
        if (!r.need(piece))
            return false;
        r.take(piece);
        size -= piece;
    }
    return true;
}

[[nodiscard]] bool skipSection(Reader& r, std::size_t recordSize) {
    std::uint32_t count = 0;
    return readCount(r, recordSize, count) && skip(r, std::uint64_t{count} * recordSize);
}

[[nodiscard]] bool skipAccounts(Reader& r) {
    constexpr std::uint64_t kSmallestEntry = kAccountFileSize + 8;
    std::uint32_t count = 0;
    if (!readCount(r, kSmallestEntry, count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        bool hasLogo = false;
        if (!skip(r, kAccountFileSize) || !readLogo(r, nullptr, nullptr, hasLogo))
            return false;
    }
    return true;
}

[[nodiscard]] bool skipOperations(Reader& r) {
    std::uint32_t count = 0;
    if (!readCount(r, kOperationFileSize, count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.need(kOperationFileSize))
            return false;
        std::uint32_t lineCount;
        std::memcpy(&lineCount,
                    r.take(kOperationFileSize) + RecordFields<OperationRecord>::lineCountAt, 4);
        const std::uint64_t lineBytes = std::uint64_t{lineCount} * kOperationFileSize;
        if (!r.has(lineBytes))
            return r.fail(LoadStatus::Truncated);
        if (!skip(r, lineBytes))
            return false;
    }
    return true;
}

[[nodiscard]] bool walkLayout(Reader& r) {
    std::uint32_t flags = 0;
    if (!readMagic(r, flags) || !skipSection(r, kUserFileSize) ||
        !skipSection(r, RecordFields<ModeRecord>::fileSize) ||
        !skipSection(r, RecordFields<CategoryRecord>::fileSize) || !skip(r, 64) ||
        !skipSection(r, RecordFields<LabelRecord>::fileSize) ||
        !skipSection(r, RecordFields<ReservedRecord>::fileSize) || !skipAccounts(r) ||
        !skipSection(r, RecordFields<ThirdRecord>::fileSize) || !skipOperations(r))
        return false;
    return r.remaining() == 0 || r.fail(LoadStatus::TrailingBytes);
}

// Reads the rest of the file, after the users. Touches neither the users nor
// `isOpen`, which another thread may read meanwhile.
[[nodiscard]] bool parseRest(Reader& r, Document& doc) {
    if (!readSection(r, doc.modes) || !readSection(r, doc.categories))
        return false;
    if (!r.need(64))
        return false;
    r.take(64);
    if (!readSection(r, doc.labels) || !readSection(r, doc.reserved) || !readAccounts(r, doc))
        return false;
    doc.currentAccount = doc.accounts.first();
    if (!readThirds(r, doc) || !readOperations(r, doc))
        return false;
    return r.remaining() == 0 || r.fail(LoadStatus::TrailingBytes);
}

// Runs one stage of a load, turning a failed allocation into a refusal.
template <class Stage> void runStage(Reader& reader, Document& doc, Stage stage) {
    try {
        if (!stage(reader, doc) && reader.status() == LoadStatus::Ok)
            reader.fail(kReadFailure); // cannot happen: every refusal keeps its reason
    } catch (const std::bad_alloc&) {
        reader.fail(LoadStatus::OutOfMemory);
    }
}

// Ends a load all or nothing: on failure the document is left empty, with its
// sort order as it was.
LoadStatus concludeLoad(Document& doc, const Reader& reader, std::uint32_t sortOrder) {
    const LoadStatus status = reader.status();
    if (status != LoadStatus::Ok) {
        documentClose(doc);
        doc.sortOrder = sortOrder;
        return status;
    }
    doc.isOpen = 1;
    return LoadStatus::Ok;
}

LoadStatus loadFrom(Document& doc, Reader& reader) {
    const std::uint32_t sortOrder = doc.sortOrder;
    runStage(reader, doc, parseHead);
    if (reader.status() == LoadStatus::Ok)
        runStage(reader, doc, parseRest);
    return concludeLoad(doc, reader, sortOrder);
}

class VectorSink : public ByteSink {
  public:
    explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
    bool put(const std::uint8_t* data, std::size_t size) override {
        out_.insert(out_.end(), data, data + size);
        return true;
    }

  private:
    std::vector<std::uint8_t>& out_;
};

class FileSink : public ByteSink {
  public:
    explicit FileSink(OutputFile& file) : file_(file) {}
    bool put(const std::uint8_t* data, std::size_t size) override {
        return file_.write(data, size);
    }

  private:
    OutputFile& file_;
};

} // namespace

const char* describeLoadStatus(LoadStatus status) {
    switch (status) {
    case LoadStatus::Ok:
        return "loaded";
    case LoadStatus::CannotOpen:
        return "the file cannot be opened or read";
    case LoadStatus::TooLarge:
        return "the file is too large to be an account file";
    case LoadStatus::Empty:
        return "the file is empty";
    case LoadStatus::NotAnAccountFile:
        return "not a Kolvane account file";
    case LoadStatus::Truncated:
        return "the account file is truncated or damaged";
    case LoadStatus::BadLogoLength:
        return "the account file has a damaged bank logo";
    case LoadStatus::TrailingBytes:
        return "the account file has unexpected bytes at its end";
    case LoadStatus::OutOfMemory:
        return "not enough memory to load the account file";
    }
    return "unknown error";
}

std::uint64_t documentFileSize(const Document& doc) {
    std::uint64_t size = 8 + 1 + 4 + 4 + 4 + 64 + 4 + 4 + 4 + 4 + 4;
    size += std::uint64_t(doc.users.count()) * kUserFileSize;
    size += std::uint64_t(doc.modes.count()) * kModeFileSize;
    size += std::uint64_t(doc.categories.count()) * kCategoryFileSize;
    size += std::uint64_t(doc.labels.count()) * kLabelFileSize;
    size += std::uint64_t(doc.reserved.count()) * kReservedFileSize;
    size += std::uint64_t(doc.thirds.count()) * kThirdFileSize;
    for (const AccountRecord& account : doc.accounts) {
        size += kAccountFileSize + 8;
        if (accountLogo(doc, account))
            size += kLogoPixelBytes + kLogoMaskBytes;
    }
    for (const OperationRecord& operation : doc.operations)
        size += kOperationFileSize * (1 + std::uint64_t(linesToWrite(operation)));
    return size;
}

std::vector<std::uint8_t> serializeDocument(const Document& doc) {
    std::vector<std::uint8_t> out;
    out.reserve(documentFileSize(doc));
    std::vector<std::uint8_t> buffer(kLargestPiece + kOperationFileSize);
    VectorSink sink(out);
    Writer w(buffer, sink);
    writeDocument(w, doc);
    if (!w.finish())
        return {};
    return out;
}

bool saveDocument(Document& doc, const std::string& path) {
    return saveDocument(doc, path, platformFileSystem());
}

bool saveDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                  std::string* reason) {
    if (path.empty())
        return false;
    auto outOfMemory = [reason] {
        if (reason)
            *reason = "mémoire insuffisante";
        return false;
    };
    // One buffer of a chunk's size, refilled and written out again and again.
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kFileChunkBytes]);
    if (!buffer)
        return outOfMemory();
    auto writeContent = [&](OutputFile& file) {
        FileSink sink(file);
        Writer w({buffer.get(), kFileChunkBytes}, sink);
        writeDocument(w, doc);
        return w.finish();
    };
    try {
        if (!replaceFileContent(fileSystem, path, writeContent, path + ".bak", reason))
            return false;
        doc.filePath = path;
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    doc.isModified = 0;
    return true;
}

LoadStatus loadDocumentFromBytes(Document& doc, std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    return loadFrom(doc, reader);
}

namespace {

// An account file opened for reading, with a buffer for its chunks.
struct OpenedFile {
    std::unique_ptr<InputFile> file;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::optional<Reader> reader;

    LoadStatus open(FileSystem& fileSystem, const std::string& path) {
        file = fileSystem.open(path);
        if (!file)
            return LoadStatus::CannotOpen;
        if (file->size() > kMaxFileSize)
            return LoadStatus::TooLarge;
        // Small files get a buffer of their own size: every piece read at
        // once lies within the file.
        const std::size_t size =
            static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), kFileChunkBytes));
        buffer.reset(new (std::nothrow) std::uint8_t[size]);
        if (!buffer)
            return LoadStatus::OutOfMemory;
        reader.emplace(*file, std::span{buffer.get(), size});
        return LoadStatus::Ok;
    }
};

} // namespace

LoadStatus checkAccountFile(const std::string& path, FileSystem& fileSystem) {
    try {
        OpenedFile opened;
        const LoadStatus status = opened.open(fileSystem, path);
        if (status != LoadStatus::Ok)
            return status;
        if (!walkLayout(*opened.reader) && opened.reader->status() == LoadStatus::Ok)
            return kReadFailure; // cannot happen: every refusal keeps its reason
        return opened.reader->status();
    } catch (const std::bad_alloc&) {
        return LoadStatus::OutOfMemory;
    }
}

struct StagedLoad::State : OpenedFile {
    std::uint32_t sortOrder = 0;
};

StagedLoad::StagedLoad(Document& doc, std::string path, FileSystem& fileSystem)
    : doc_(doc), path_(std::move(path)), fileSystem_(fileSystem) {}

StagedLoad::~StagedLoad() = default;

// `state_` is held from a successful `readUsers` to `finish`.
LoadStatus StagedLoad::readUsers() {
    LoadStatus status = LoadStatus::OutOfMemory;
    try {
        state_ = std::make_unique<State>();
        status = state_->open(fileSystem_, path_);
    } catch (const std::bad_alloc&) {
        status = LoadStatus::OutOfMemory;
    }
    if (status == LoadStatus::Ok) {
        state_->sortOrder = doc_.sortOrder;
        runStage(*state_->reader, doc_, parseHead);
        status = state_->reader->status();
        if (status != LoadStatus::Ok)
            concludeLoad(doc_, *state_->reader, state_->sortOrder);
    }
    if (status != LoadStatus::Ok)
        state_.reset();
    return status;
}

void StagedLoad::readRest() {
    if (state_)
        runStage(*state_->reader, doc_, parseRest);
}

LoadStatus StagedLoad::finish() {
    if (!state_)
        return LoadStatus::CannotOpen; // readUsers refused the file already
    const LoadStatus status = concludeLoad(doc_, *state_->reader, state_->sortOrder);
    linesRead_ = state_->reader->linesRead;
    state_.reset();
    if (status != LoadStatus::Ok)
        return status;
    try {
        doc_.filePath = path_;
    } catch (const std::bad_alloc&) {
        const std::uint32_t sortOrder = doc_.sortOrder;
        documentClose(doc_);
        doc_.sortOrder = sortOrder;
        return LoadStatus::OutOfMemory;
    }
    return LoadStatus::Ok;
}

LoadStatus StagedLoad::readRestWhile(const std::function<void()>& meanwhile) {
    std::thread rest;
    try {
        rest = std::thread([this] { readRest(); });
    } catch (const std::system_error&) {
        readRest(); // no second thread to be had: the rest first, then the rest of the work
    }
    {
        // Joined however `meanwhile` ends, an exception included.
        struct Joiner {
            std::thread& thread;
            ~Joiner() {
                if (thread.joinable())
                    thread.join();
            }
        } joiner{rest};
        meanwhile();
    }
    return finish();
}

LoadStatus loadDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                        std::uint64_t* lineCount) {
    std::optional<StagedLoad> staged;
    try {
        staged.emplace(doc, path, fileSystem);
    } catch (const std::bad_alloc&) {
        return LoadStatus::OutOfMemory;
    }
    StagedLoad& load = *staged;
    const LoadStatus status = load.readUsers();
    if (status != LoadStatus::Ok)
        return status;
    load.readRest();
    const LoadStatus loaded = load.finish();
    if (loaded == LoadStatus::Ok && lineCount)
        *lineCount = load.linesRead();
    return loaded;
}

bool loadDocument(Document& doc, const std::string& path) {
    return loadDocument(doc, path, platformFileSystem()) == LoadStatus::Ok;
}

} // namespace kolvane
