#include "account_file.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace kolvane {
namespace {

// Larger files cannot come from a document this program wrote (every count is
// 32-bit but real files stay far below this) and are refused unread.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 32;

// The largest run of bytes read or written in one piece: a logo's pixels.
constexpr std::size_t kLargestPiece = kLogoPixelBytes;
static_assert(kFileChunkBytes >= kLargestPiece);

template <class Value> void storeLittleEndian(std::uint8_t* out, Value v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &v, sizeof v);
    } else {
        for (std::size_t i = 0; i < sizeof v; ++i)
            out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

template <class Value> Value loadLittleEndian(const std::uint8_t* in) {
    Value v;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, in, sizeof v);
    } else {
        v = 0;
        for (std::size_t i = 0; i < sizeof v; ++i)
            v |= static_cast<Value>(static_cast<Value>(in[i]) << (8 * i));
    }
    return v;
}

// Where the writer's full buffers go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    [[nodiscard]] virtual bool put(const std::uint8_t* data, std::size_t size) = 0;
};

// Writes fields into one buffer, handed to the sink each time it fills up and
// then reused. Each record first reserves its size; the fields that follow
// need no checks. The first failure of the sink is kept: nothing more is
// handed on, and finish() reports it.
class Writer {
  public:
    Writer(std::span<std::uint8_t> buffer, ByteSink& sink)
        : begin_(buffer.data()), next_(buffer.data()), end_(buffer.data() + buffer.size()),
          sink_(sink) {}
    bool failed() const { return failed_; }

    void reserve(std::size_t size) {
        if (size <= static_cast<std::size_t>(end_ - next_))
            return;
        drain();
        if (size > static_cast<std::size_t>(end_ - next_))
            failed_ = true; // cannot happen: every piece fits the buffer
    }
    [[nodiscard]] bool finish() {
        drain();
        return !failed_;
    }

    void u8(std::uint8_t v) { *next_++ = v; }
    void u16(std::uint16_t v) { put(v); }
    void u32(std::uint32_t v) { put(v); }
    void u64(std::uint64_t v) { put(v); }
    void f64(double v) { put(std::bit_cast<std::uint64_t>(v)); }
    void bytes(const void* data, std::size_t size) {
        std::memcpy(next_, data, size);
        next_ += size;
    }
    void zeros(std::size_t size) {
        std::memset(next_, 0, size);
        next_ += size;
    }

  private:
    template <class Value> void put(Value v) {
        storeLittleEndian(next_, v);
        next_ += sizeof v;
    }
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

// Reads fields from the file image in memory, or from a file through one
// buffer refilled chunk by chunk. The file's size is known from the start, so
// `has` tells whether the file still holds some bytes before anything is
// allocated for them; `ensure` then brings them into the buffer. The first
// read failure is kept and every later `ensure` fails.
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
    bool failed() const { return failed_; }

    // Makes the next `size` bytes readable; `has(size)` must hold.
    [[nodiscard]] bool ensure(std::size_t size) { return size <= buffered() || refill(size); }

    std::uint8_t u8() { return *next_++; }
    std::uint16_t u16() { return get<std::uint16_t>(); }
    std::uint32_t u32() { return get<std::uint32_t>(); }
    std::uint64_t u64() { return get<std::uint64_t>(); }
    double f64() { return std::bit_cast<double>(get<std::uint64_t>()); }
    void bytes(void* out, std::size_t size) {
        std::memcpy(out, next_, size);
        next_ += size;
    }
    void skip(std::size_t size) { next_ += size; }

  private:
    std::size_t buffered() const { return static_cast<std::size_t>(end_ - next_); }
    template <class Value> Value get() {
        Value v = loadLittleEndian<Value>(next_);
        next_ += sizeof v;
        return v;
    }
    bool refill(std::size_t size) {
        const std::size_t kept = buffered();
        if (failed_ || !file_ || size > buffer_.size()) {
            failed_ = true;
            return false;
        }
        std::memmove(buffer_.data(), next_, kept);
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer_.size() - kept, size_ - fetched_));
        if (kept + wanted < size || !file_->read(buffer_.data() + kept, wanted)) {
            failed_ = true;
            return false;
        }
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
    bool failed_ = false;
};

// --- one pair of functions per record type ---------------------------------

void writeRecord(Writer& w, const UserRecord& r) {
    w.bytes(r.name, 40);
    w.bytes(r.password, 24);
    w.u32(r.passwordKey);
    w.u32(r.id);
    w.u32(r.flags);
}
void readRecord(Reader& r, UserRecord& u) {
    r.bytes(u.name, 40);
    r.bytes(u.password, 24);
    u.passwordKey = r.u32();
    u.id = r.u32();
    u.flags = r.u32();
}

void writeRecord(Writer& w, const ModeRecord& r) {
    w.bytes(r.name, 32);
    w.u16(r.id);
    w.u16(r.kind);
}
void readRecord(Reader& r, ModeRecord& m) {
    r.bytes(m.name, 32);
    m.id = r.u16();
    m.kind = r.u16();
}

void writeRecord(Writer& w, const CategoryRecord& r) {
    w.bytes(r.name, 32);
    w.u16(r.id);
    w.u16(r.shown);
}
void readRecord(Reader& r, CategoryRecord& c) {
    r.bytes(c.name, 32);
    c.id = r.u16();
    c.shown = r.u16();
}

void writeRecord(Writer& w, const LabelRecord& r) {
    w.bytes(r.text, 40);
    w.u32(r.categoryId);
}
void readRecord(Reader& r, LabelRecord& l) {
    r.bytes(l.text, 40);
    l.categoryId = r.u32();
}

void writeRecord(Writer& w, const ReservedRecord& r) {
    w.bytes(r.bytes, 88);
}
void readRecord(Reader& r, ReservedRecord& x) {
    r.bytes(x.bytes, 88);
}

void writeRecord(Writer& w, const ThirdRecord& r) {
    w.bytes(r.name, 40);
    w.u32(r.id);
    w.u32(r.reserved44);
    w.f64(r.initialBalance);
    w.f64(r.balance);
    w.u32(r.initialOperationId);
    w.u32(r.operationCount);
    w.bytes(r.note, 128);
    w.u16(r.reserved200);
    w.u16(r.active);
    w.u32(r.reserved204);
}
void readRecord(Reader& r, ThirdRecord& t) {
    r.bytes(t.name, 40);
    t.id = r.u32();
    t.reserved44 = r.u32();
    t.initialBalance = r.f64();
    t.balance = r.f64();
    t.initialOperationId = r.u32();
    t.operationCount = r.u32();
    r.bytes(t.note, 128);
    t.reserved200 = r.u16();
    t.active = r.u16();
    t.reserved204 = r.u32();
}

void writeRecord(Writer& w, const AccountRecord& r) {
    // The texts from `name` to `phone` and the six reserved bytes are one
    // contiguous run of 504 single bytes in the file.
    w.bytes(r.name, 40);
    w.bytes(r.webAddress, 128);
    w.bytes(r.holderName, 32);
    w.bytes(r.holderFirstNames, 32);
    w.bytes(r.address, 40);
    w.bytes(r.addressComplement, 40);
    w.bytes(r.city, 32);
    w.bytes(r.postCode, 6);
    w.u8(r.civility);
    w.bytes(r.ribKey, 3);
    w.bytes(r.bankCode, 6);
    w.bytes(r.branchCode, 6);
    w.bytes(r.bankName, 40);
    w.bytes(r.accountNumber, 12);
    w.bytes(r.domiciliation, 32);
    w.bytes(r.bic, 32);
    w.bytes(r.phone, 16);
    w.bytes(r.reserved498, 6);
    w.f64(r.initialBalance);
    w.f64(r.minimumAllowed);
    w.f64(r.minimumWanted);
    w.f64(r.balance);
    w.f64(r.pointedBalance);
    w.u32(r.operationCount);
    w.u32(r.reserved548);
    w.u32(r.id);
    w.u32(r.initialOperationId);
    w.u16(r.initialPointed);
    w.u16(r.active);
    w.u32(r.reserved564);
}
void readRecord(Reader& r, AccountRecord& a) {
    r.bytes(a.name, 40);
    r.bytes(a.webAddress, 128);
    r.bytes(a.holderName, 32);
    r.bytes(a.holderFirstNames, 32);
    r.bytes(a.address, 40);
    r.bytes(a.addressComplement, 40);
    r.bytes(a.city, 32);
    r.bytes(a.postCode, 6);
    a.civility = r.u8();
    r.bytes(a.ribKey, 3);
    r.bytes(a.bankCode, 6);
    r.bytes(a.branchCode, 6);
    r.bytes(a.bankName, 40);
    r.bytes(a.accountNumber, 12);
    r.bytes(a.domiciliation, 32);
    r.bytes(a.bic, 32);
    r.bytes(a.phone, 16);
    r.bytes(a.reserved498, 6);
    a.initialBalance = r.f64();
    a.minimumAllowed = r.f64();
    a.minimumWanted = r.f64();
    a.balance = r.f64();
    a.pointedBalance = r.f64();
    a.operationCount = r.u32();
    a.reserved548 = r.u32();
    a.id = r.u32();
    a.initialOperationId = r.u32();
    a.initialPointed = r.u16();
    a.active = r.u16();
    a.reserved564 = r.u32();
}

// `lineCount` is written as the number of lines that really follow, so the
// file stays readable even if a caller left the two out of step.
void writeRecord(Writer& w, const OperationRecord& r, std::uint32_t lineCount) {
    w.u32(r.partyId);
    w.u32(r.counterpartyId);
    w.f64(r.amount);
    w.f64(r.balanceAfterParty);
    w.f64(r.balanceAfterCounterparty);
    w.u64(r.entryDate);
    w.u64(r.modifiedDate);
    w.u64(r.operationDate);
    w.u32(r.creatorUserId);
    w.u32(r.modifierUserId);
    w.u32(r.id);
    w.u16(r.modeId);
    w.u16(r.pointed);
    w.bytes(r.label, 40);
    w.u32(lineCount);
    w.u32(0); // the memory-only `lines` word carries nothing on disk
}
void readRecord(Reader& r, OperationRecord& o) {
    o.partyId = r.u32();
    o.counterpartyId = r.u32();
    o.amount = r.f64();
    o.balanceAfterParty = r.f64();
    o.balanceAfterCounterparty = r.f64();
    o.entryDate = r.u64();
    o.modifiedDate = r.u64();
    o.operationDate = r.u64();
    o.creatorUserId = r.u32();
    o.modifierUserId = r.u32();
    o.id = r.u32();
    o.modeId = r.u16();
    o.pointed = r.u16();
    r.bytes(o.label, 40);
    o.lineCount = r.u32();
    r.skip(4);
    o.lines = nullptr;
}

// A read that the file could not deliver after all.
constexpr LoadStatus kReadFailure = LoadStatus::CannotOpen;

// Reads a 32-bit count and checks that the file holds at least `count`
// entries of `smallestEntry` bytes, before anything is allocated for them.
LoadStatus readCount(Reader& r, std::size_t smallestEntry, std::uint32_t& count) {
    if (!r.has(4))
        return LoadStatus::Truncated;
    if (!r.ensure(4))
        return kReadFailure;
    count = r.u32();
    if (!r.has(std::uint64_t{count} * smallestEntry))
        return LoadStatus::Truncated;
    return LoadStatus::Ok;
}

template <class Record>
void writeSection(Writer& w, const RecordList<Record>& list, std::size_t recordSize) {
    w.reserve(4);
    w.u32(static_cast<std::uint32_t>(list.count()));
    for (const Record& record : list) {
        w.reserve(recordSize);
        writeRecord(w, record);
    }
}

template <class Record>
LoadStatus readSection(Reader& r, RecordList<Record>& list, std::size_t recordSize) {
    std::uint32_t count = 0;
    if (LoadStatus status = readCount(r, recordSize, count); status != LoadStatus::Ok)
        return status;
    for (std::uint32_t i = 0; i < count; ++i) {
        Record* record = list.appendEmpty();
        if (!record)
            return LoadStatus::OutOfMemory;
        if (!r.ensure(recordSize))
            return kReadFailure;
        readRecord(r, *record);
    }
    return LoadStatus::Ok;
}

std::uint32_t linesToWrite(const OperationRecord& operation) {
    return operation.lineCount && operation.lines
               ? static_cast<std::uint32_t>(operation.lines->count())
               : 0;
}

void writeAccounts(Writer& w, const AccountList& accounts) {
    w.reserve(4);
    w.u32(static_cast<std::uint32_t>(accounts.count()));
    for (const AccountRecord& account : accounts) {
        w.reserve(kAccountFileSize + 4);
        writeRecord(w, account);
        if (account.logoPixels && account.logoMask) {
            w.u32(kLogoPixelBytes);
            w.reserve(kLogoPixelBytes + 4);
            w.bytes(account.logoPixels, kLogoPixelBytes);
            w.u32(kLogoMaskBytes);
            w.reserve(kLogoMaskBytes);
            w.bytes(account.logoMask, kLogoMaskBytes);
        } else {
            w.u32(0);
            w.reserve(4);
            w.u32(0);
        }
    }
}

void writeOperations(Writer& w, const OperationList& operations) {
    w.reserve(4);
    w.u32(static_cast<std::uint32_t>(operations.count()));
    for (const OperationRecord& operation : operations) {
        if (w.failed())
            return; // the disk refused a chunk: the rest would go nowhere
        std::uint32_t lineCount = linesToWrite(operation);
        w.reserve(kOperationFileSize);
        writeRecord(w, operation, lineCount);
        if (lineCount)
            for (const VentilationLine& line : *operation.lines) {
                w.reserve(kOperationFileSize);
                writeRecord(w, line, 0);
            }
    }
}

void writeDocument(Writer& w, const Document& doc) {
    w.reserve(9);
    w.bytes(kAccountFileMagic, 8);
    w.u8(doc.alertsEnabled ? 1 : 0);
    writeSection(w, doc.users, kUserFileSize);
    writeSection(w, doc.modes, kModeFileSize);
    writeSection(w, doc.categories, kCategoryFileSize);
    w.reserve(64);
    w.zeros(64);
    writeSection(w, doc.labels, kLabelFileSize);
    writeSection(w, doc.reserved, kReservedFileSize);
    writeAccounts(w, doc.accounts);
    writeSection(w, doc.thirds, kThirdFileSize);
    writeOperations(w, doc.operations);
}

LoadStatus readLogoBlock(Reader& r, std::uint32_t expected, std::uint8_t*& block) {
    if (!r.has(4))
        return LoadStatus::Truncated;
    if (!r.ensure(4))
        return kReadFailure;
    std::uint32_t length = r.u32();
    if (length == 0)
        return LoadStatus::Ok;
    if (length != expected)
        return LoadStatus::BadLogoLength;
    if (!r.has(length))
        return LoadStatus::Truncated;
    block = static_cast<std::uint8_t*>(std::malloc(length));
    if (!block)
        return LoadStatus::OutOfMemory;
    if (!r.ensure(length))
        return kReadFailure;
    r.bytes(block, length);
    return LoadStatus::Ok;
}

LoadStatus readAccounts(Reader& r, Document& doc) {
    constexpr std::uint64_t kSmallestEntry = kAccountFileSize + 8;
    std::uint32_t count = 0;
    if (LoadStatus status = readCount(r, kSmallestEntry, count); status != LoadStatus::Ok)
        return status;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kSmallestEntry))
            return LoadStatus::Truncated;
        AccountRecord* account = doc.accounts.appendEmpty();
        if (!account)
            return LoadStatus::OutOfMemory;
        if (!r.ensure(kAccountFileSize))
            return kReadFailure;
        readRecord(r, *account);
        std::uint32_t next =
            std::max<std::uint32_t>(doc.nextAccountNumber, partyNumber(account->id) + 1);
        doc.nextAccountNumber = static_cast<std::uint16_t>(next);
        if (LoadStatus s = readLogoBlock(r, kLogoPixelBytes, account->logoPixels);
            s != LoadStatus::Ok)
            return s;
        if (LoadStatus s = readLogoBlock(r, kLogoMaskBytes, account->logoMask); s != LoadStatus::Ok)
            return s;
        // A logo is its pixels and its mask; one without the other is damage.
        if ((account->logoPixels == nullptr) != (account->logoMask == nullptr))
            return LoadStatus::BadLogoLength;
    }
    return LoadStatus::Ok;
}

LoadStatus readThirds(Reader& r, Document& doc) {
    LoadStatus status = readSection(r, doc.thirds, kThirdFileSize);
    if (status != LoadStatus::Ok)
        return status;
    for (const ThirdRecord& third : doc.thirds) {
        std::uint32_t next =
            std::max<std::uint32_t>(doc.nextThirdNumber, partyNumber(third.id) + 1);
        doc.nextThirdNumber = static_cast<std::uint16_t>(next);
    }
    return LoadStatus::Ok;
}

LoadStatus readLines(Reader& r, OperationRecord& operation) {
    if (!r.has(std::uint64_t{operation.lineCount} * kOperationFileSize))
        return LoadStatus::Truncated;
    operation.lines = new (std::nothrow) OperationList;
    if (!operation.lines)
        return LoadStatus::OutOfMemory;
    for (std::uint32_t l = 0; l < operation.lineCount; ++l) {
        VentilationLine* line = operation.lines->appendEmpty();
        if (!line)
            return LoadStatus::OutOfMemory;
        if (!r.ensure(kOperationFileSize))
            return kReadFailure;
        readRecord(r, *line);
        // A line has no lines of its own; its count word carries nothing.
        line->lineCount = 0;
    }
    return LoadStatus::Ok;
}

LoadStatus readOperations(Reader& r, Document& doc) {
    std::uint32_t count = 0;
    if (LoadStatus status = readCount(r, kOperationFileSize, count); status != LoadStatus::Ok)
        return status;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kOperationFileSize))
            return LoadStatus::Truncated;
        OperationRecord* operation = doc.operations.appendEmpty();
        if (!operation)
            return LoadStatus::OutOfMemory;
        if (!r.ensure(kOperationFileSize))
            return kReadFailure;
        readRecord(r, *operation);
        doc.nextOperationId = std::max(doc.nextOperationId, operation->id + 1);
        if (operation->lineCount != 0)
            if (LoadStatus status = readLines(r, *operation); status != LoadStatus::Ok)
                return status;
    }
    return LoadStatus::Ok;
}

LoadStatus parseDocument(Reader& r, Document& doc) {
    if (r.remaining() == 0)
        return LoadStatus::Empty;
    if (!r.has(9))
        return r.has(8) ? LoadStatus::Truncated : LoadStatus::NotAnAccountFile;
    if (!r.ensure(9))
        return kReadFailure;
    char magic[8];
    r.bytes(magic, 8);
    if (std::memcmp(magic, kAccountFileMagic, 8) != 0)
        return LoadStatus::NotAnAccountFile;
    doc.alertsEnabled = r.u8();

    LoadStatus status;
    if ((status = readSection(r, doc.users, kUserFileSize)) != LoadStatus::Ok)
        return status;
    if ((status = readSection(r, doc.modes, kModeFileSize)) != LoadStatus::Ok)
        return status;
    if ((status = readSection(r, doc.categories, kCategoryFileSize)) != LoadStatus::Ok)
        return status;
    if (!r.has(64))
        return LoadStatus::Truncated;
    if (!r.ensure(64))
        return kReadFailure;
    r.skip(64);
    if ((status = readSection(r, doc.labels, kLabelFileSize)) != LoadStatus::Ok)
        return status;
    if ((status = readSection(r, doc.reserved, kReservedFileSize)) != LoadStatus::Ok)
        return status;
    if ((status = readAccounts(r, doc)) != LoadStatus::Ok)
        return status;
    doc.currentAccount = doc.accounts.first();
    if ((status = readThirds(r, doc)) != LoadStatus::Ok)
        return status;
    if ((status = readOperations(r, doc)) != LoadStatus::Ok)
        return status;
    if (r.remaining() != 0)
        return LoadStatus::TrailingBytes;
    return LoadStatus::Ok;
}

// Loads all or nothing: on failure the document is left empty, with its sort
// order as it was.
LoadStatus loadFrom(Document& doc, Reader& reader) {
    const std::uint32_t sortOrder = doc.sortOrder;
    LoadStatus status;
    try {
        status = parseDocument(reader, doc);
    } catch (const std::bad_alloc&) {
        status = LoadStatus::OutOfMemory;
    }
    if (status != LoadStatus::Ok) {
        documentClose(doc);
        doc.sortOrder = sortOrder;
        return status;
    }
    doc.isOpen = 1;
    return LoadStatus::Ok;
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
        if (account.logoPixels && account.logoMask)
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

int saveDocument(Document& doc, const std::string& path) {
    return saveDocument(doc, path, platformFileSystem());
}

int saveDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                 std::string* reason) {
    if (path.empty())
        return 0;
    auto outOfMemory = [reason] {
        if (reason)
            *reason = "mémoire insuffisante";
        return 0;
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
            return 0;
        doc.filePath = path;
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    doc.isModified = 0;
    return 1;
}

LoadStatus loadDocumentFromBytes(Document& doc, std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    return loadFrom(doc, reader);
}

LoadStatus loadDocument(Document& doc, const std::string& path, FileSystem& fileSystem) {
    std::unique_ptr<InputFile> file;
    try {
        file = fileSystem.open(path);
    } catch (const std::bad_alloc&) {
        return LoadStatus::OutOfMemory;
    }
    if (!file)
        return LoadStatus::CannotOpen;
    if (file->size() > kMaxFileSize)
        return LoadStatus::TooLarge;
    // Small files get a buffer of their own size: every piece read at once
    // lies within the file.
    const std::size_t bufferSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), kFileChunkBytes));
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[bufferSize]);
    if (!buffer)
        return LoadStatus::OutOfMemory;
    Reader reader(*file, {buffer.get(), bufferSize});
    LoadStatus status = loadFrom(doc, reader);
    if (status != LoadStatus::Ok)
        return status;
    try {
        doc.filePath = path;
    } catch (const std::bad_alloc&) {
        const std::uint32_t sortOrder = doc.sortOrder;
        documentClose(doc);
        doc.sortOrder = sortOrder;
        return LoadStatus::OutOfMemory;
    }
    return LoadStatus::Ok;
}

int loadDocument(Document& doc, const std::string& path) {
    return loadDocument(doc, path, platformFileSystem()) == LoadStatus::Ok ? 1 : 0;
}

} // namespace kolvane
