#include "account_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kolvane {
namespace {

// Larger files cannot come from a document this program wrote (every count is
// 32-bit but real files stay far below this) and are refused unread.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 32;

// Writes fields into a buffer sized beforehand by documentFileSize. A write
// that would run past the end is dropped and remembered, so a size mismatch
// can never overrun the buffer and is refused by the caller.
class Writer {
  public:
    explicit Writer(std::span<std::uint8_t> out)
        : next_(out.data()), end_(out.data() + out.size()) {}
    bool complete() const { return !overrun_ && next_ == end_; }

    void u8(std::uint8_t v) { bytes(&v, 1); }
    void u16(std::uint16_t v) {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        bytes(b, 2);
    }
    void u32(std::uint32_t v) {
        std::uint8_t b[4];
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<std::uint8_t>(v >> (8 * i));
        bytes(b, 4);
    }
    void u64(std::uint64_t v) {
        std::uint8_t b[8];
        for (int i = 0; i < 8; ++i)
            b[i] = static_cast<std::uint8_t>(v >> (8 * i));
        bytes(b, 8);
    }
    void f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u64(bits);
    }
    void bytes(const void* data, std::size_t size) {
        if (size > static_cast<std::size_t>(end_ - next_)) {
            overrun_ = true;
            return;
        }
        std::memcpy(next_, data, size);
        next_ += size;
    }
    void zeros(std::size_t size) {
        if (size > static_cast<std::size_t>(end_ - next_)) {
            overrun_ = true;
            return;
        }
        std::memset(next_, 0, size);
        next_ += size;
    }

  private:
    std::uint8_t* next_;
    std::uint8_t* end_;
    bool overrun_ = false;
};

// Reads fields from a buffer whose size the caller has checked beforehand.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t remaining() const { return bytes_.size() - pos_; }
    bool has(std::uint64_t size) const { return size <= remaining(); }
    std::size_t position() const { return pos_; }

    std::uint8_t u8() { return bytes_[pos_++]; }
    std::uint16_t u16() {
        std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(bytes_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return v;
    }
    std::uint64_t u64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(bytes_[pos_ + i]) << (8 * i);
        pos_ += 8;
        return v;
    }
    double f64() {
        std::uint64_t bits = u64();
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    void bytes(void* out, std::size_t size) {
        std::memcpy(out, bytes_.data() + pos_, size);
        pos_ += size;
    }
    void skip(std::size_t size) { pos_ += size; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
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

template <class Record> void writeSection(Writer& w, const RecordList<Record>& list) {
    w.u32(static_cast<std::uint32_t>(list.count()));
    for (const Record& record : list)
        writeRecord(w, record);
}

template <class Record>
LoadStatus readSection(Reader& r, RecordList<Record>& list, std::size_t recordSize) {
    if (!r.has(4))
        return LoadStatus::Truncated;
    std::uint32_t count = r.u32();
    if (!r.has(std::uint64_t{count} * recordSize))
        return LoadStatus::Truncated;
    for (std::uint32_t i = 0; i < count; ++i) {
        Record* record = list.appendEmpty();
        if (!record)
            return LoadStatus::OutOfMemory;
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
    w.u32(static_cast<std::uint32_t>(accounts.count()));
    for (const AccountRecord& account : accounts) {
        writeRecord(w, account);
        if (account.logoPixels && account.logoMask) {
            w.u32(kLogoPixelBytes);
            w.bytes(account.logoPixels, kLogoPixelBytes);
            w.u32(kLogoMaskBytes);
            w.bytes(account.logoMask, kLogoMaskBytes);
        } else {
            w.u32(0);
            w.u32(0);
        }
    }
}

void writeOperations(Writer& w, const OperationList& operations) {
    w.u32(static_cast<std::uint32_t>(operations.count()));
    for (const OperationRecord& operation : operations) {
        std::uint32_t lineCount = linesToWrite(operation);
        writeRecord(w, operation, lineCount);
        if (lineCount)
            for (const VentilationLine& line : *operation.lines)
                writeRecord(w, line, 0);
    }
}

LoadStatus readLogoBlock(Reader& r, std::uint32_t expected, std::uint8_t*& block) {
    if (!r.has(4))
        return LoadStatus::Truncated;
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
    r.bytes(block, length);
    return LoadStatus::Ok;
}

LoadStatus readAccounts(Reader& r, Document& doc) {
    constexpr std::uint64_t kSmallestEntry = kAccountFileSize + 8;
    if (!r.has(4))
        return LoadStatus::Truncated;
    std::uint32_t count = r.u32();
    if (!r.has(std::uint64_t{count} * kSmallestEntry))
        return LoadStatus::Truncated;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kSmallestEntry))
            return LoadStatus::Truncated;
        AccountRecord* account = doc.accounts.appendEmpty();
        if (!account)
            return LoadStatus::OutOfMemory;
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

LoadStatus readOperations(Reader& r, Document& doc) {
    if (!r.has(4))
        return LoadStatus::Truncated;
    std::uint32_t count = r.u32();
    if (!r.has(std::uint64_t{count} * kOperationFileSize))
        return LoadStatus::Truncated;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.has(kOperationFileSize))
            return LoadStatus::Truncated;
        OperationRecord* operation = doc.operations.appendEmpty();
        if (!operation)
            return LoadStatus::OutOfMemory;
        readRecord(r, *operation);
        doc.nextOperationId = std::max(doc.nextOperationId, operation->id + 1);
        if (operation->lineCount == 0)
            continue;
        if (!r.has(std::uint64_t{operation->lineCount} * kOperationFileSize))
            return LoadStatus::Truncated;
        operation->lines = new (std::nothrow) OperationList;
        if (!operation->lines)
            return LoadStatus::OutOfMemory;
        for (std::uint32_t l = 0; l < operation->lineCount; ++l) {
            VentilationLine* line = operation->lines->appendEmpty();
            if (!line)
                return LoadStatus::OutOfMemory;
            readRecord(r, *line);
            // A line has no lines of its own; its count word carries nothing.
            line->lineCount = 0;
        }
    }
    return LoadStatus::Ok;
}

LoadStatus parseDocument(Reader& r, Document& doc) {
    if (r.remaining() == 0)
        return LoadStatus::Empty;
    if (!r.has(9))
        return r.has(8) ? LoadStatus::Truncated : LoadStatus::NotAnAccountFile;
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

} // namespace

const char* describeLoadStatus(LoadStatus status) {
    switch (status) {
    case LoadStatus::Ok:
        return "loaded";
    case LoadStatus::CannotOpen:
        return "the file cannot be opened";
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
    std::vector<std::uint8_t> out(documentFileSize(doc));
    Writer w(out);
    w.bytes(kAccountFileMagic, 8);
    w.u8(doc.alertsEnabled ? 1 : 0);
    writeSection(w, doc.users);
    writeSection(w, doc.modes);
    writeSection(w, doc.categories);
    w.zeros(64);
    writeSection(w, doc.labels);
    writeSection(w, doc.reserved);
    writeAccounts(w, doc.accounts);
    writeSection(w, doc.thirds);
    writeOperations(w, doc.operations);
    if (!w.complete())
        return {}; // the lists changed under us; saveDocument refuses an empty image
    return out;
}

int saveDocument(Document& doc, const std::string& path) {
    return saveDocument(doc, path, platformFileSystem());
}

int saveDocument(Document& doc, const std::string& path, FileSystem& fileSystem,
                 std::string* reason) {
    if (path.empty())
        return 0;
    std::vector<std::uint8_t> image;
    try {
        image = serializeDocument(doc);
    } catch (const std::bad_alloc&) {
        image.clear();
    }
    if (image.empty()) {
        if (reason)
            *reason = "mémoire insuffisante";
        return 0;
    }
    if (!replaceFileContent(fileSystem, path, image, path + ".bak", reason))
        return 0;
    doc.filePath = path;
    doc.isModified = 0;
    return 1;
}

LoadStatus loadDocumentFromBytes(Document& doc, std::span<const std::uint8_t> bytes) {
    const std::uint32_t sortOrder = doc.sortOrder;
    Reader reader(bytes);
    LoadStatus status = parseDocument(reader, doc);
    if (status != LoadStatus::Ok) {
        documentClose(doc);
        doc.sortOrder = sortOrder;
        return status;
    }
    doc.isOpen = 1;
    return LoadStatus::Ok;
}

LoadStatus loadDocument(Document& doc, const std::string& path, FileSystem& fileSystem) {
    std::vector<std::uint8_t> bytes;
    switch (fileSystem.readAll(path, bytes, kMaxFileSize)) {
    case ReadResult::Ok:
        break;
    case ReadResult::TooLarge:
        return LoadStatus::TooLarge;
    default:
        return LoadStatus::CannotOpen;
    }
    LoadStatus status = loadDocumentFromBytes(doc, bytes);
    if (status == LoadStatus::Ok)
        doc.filePath = path;
    return status;
}

int loadDocument(Document& doc, const std::string& path) {
    return loadDocument(doc, path, platformFileSystem()) == LoadStatus::Ok ? 1 : 0;
}

} // namespace kolvane
