// Damaged account files: whatever the bytes, a load either refuses the file
// and leaves the document empty, or gives records that write back to the very
// same bytes. Nothing reads past the data, nothing allocates for counts the
// data cannot hold.
#include "account_file_samples.h"

#include "document/account_file.h"
#include "document/document.h"
#include "document/generator.h"
#include "memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>
#include <random>
#include <string>
#include <vector>

// --- Allocation meter ---------------------------------------------------------
// Every operator new of the test program goes through here; while a test arms
// the meter it adds up what was asked for, and refuses whatever would go past
// its limit, as a machine out of memory would. Left out under the address
// sanitizer, whose own operator new checks that news and deletes match.
#if defined(__SANITIZE_ADDRESS__)
#define KOLVANE_ALLOCATION_METER 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOLVANE_ALLOCATION_METER 0
#endif
#endif
#ifndef KOLVANE_ALLOCATION_METER
#define KOLVANE_ALLOCATION_METER 1
#endif

namespace {
std::atomic<bool> gMeterArmed{false};
std::atomic<std::size_t> gMeterBytes{0};   // ordinary allocations
std::atomic<std::size_t> gMeterAligned{0}; // over-aligned ones (the record blocks)
std::atomic<std::size_t> gMeterLimit{SIZE_MAX};
} // namespace

#if KOLVANE_ALLOCATION_METER
namespace {
// Counts `size` into `counter`; false when the limit refuses it.
bool meter(std::atomic<std::size_t>& counter, std::size_t size) {
    if (!gMeterArmed.load(std::memory_order_relaxed))
        return true;
    if (gMeterBytes + gMeterAligned + size > gMeterLimit)
        return false;
    counter += size;
    return true;
}
} // namespace

// The replacement pairs malloc with free on purpose; GCC cannot see that the
// two halves belong together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
// The library's array and nothrow forms call these.
void* operator new(std::size_t size) {
    if (meter(gMeterBytes, size))
        if (void* p = std::malloc(size ? size : 1))
            return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    const auto align = static_cast<std::size_t>(alignment);
    if (meter(gMeterAligned, size)) {
#ifdef _WIN32
        if (void* p = _aligned_malloc(size, align))
#else
        if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align))
#endif
            return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p, std::align_val_t) noexcept {
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}
void operator delete(void* p, std::size_t, std::align_val_t alignment) noexcept {
    operator delete(p, alignment);
}
#endif

namespace kolvane {
namespace {

using namespace testing_samples;

class AllocationMeter {
  public:
    static constexpr bool kAvailable = KOLVANE_ALLOCATION_METER != 0;
    explicit AllocationMeter(std::size_t limit = SIZE_MAX) {
        gMeterBytes = 0;
        gMeterAligned = 0;
        gMeterLimit = limit;
        gMeterArmed = true;
    }
    ~AllocationMeter() {
        gMeterArmed = false;
        gMeterLimit = SIZE_MAX;
    }
    std::size_t bytes() const { return gMeterBytes; }
    std::size_t allBytes() const { return gMeterBytes + gMeterAligned; }
};

void setLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where things are in a well-formed file, found by walking its sections with
// the sizes of the format.
struct FileMap {
    bool wellFormed = false;
    std::size_t reservedBlock = 0;
    std::vector<std::size_t> counts;      // every record count and line count
    std::vector<std::size_t> logoLengths; // every logo length word
    std::vector<std::size_t> operations;  // every operation and line record
    std::vector<std::size_t> lines;       // every line record
};

FileMap mapFile(const std::vector<std::uint8_t>& bytes) {
    FileMap map;
    std::size_t at = 9;
    auto has = [&](std::uint64_t size) {
        return size <= bytes.size() - std::min(at, bytes.size());
    };
    auto section = [&](std::size_t recordSize) {
        if (!has(4))
            return false;
        map.counts.push_back(at);
        std::uint64_t size = std::uint64_t{le32(bytes, at)} * recordSize;
        at += 4;
        if (!has(size))
            return false;
        at += static_cast<std::size_t>(size);
        return true;
    };
    if (bytes.size() < 9 || !section(76) || !section(36) || !section(36))
        return map;
    map.reservedBlock = at;
    if (!has(64))
        return map;
    at += 64;
    if (!section(44) || !section(88) || !has(4))
        return map;
    map.counts.push_back(at);
    std::uint32_t accounts = le32(bytes, at);
    at += 4;
    for (std::uint32_t i = 0; i < accounts; ++i) {
        if (!has(568 + 4))
            return map;
        at += 568;
        for (int block = 0; block < 2; ++block) {
            if (!has(4))
                return map;
            map.logoLengths.push_back(at);
            std::uint32_t length = le32(bytes, at);
            at += 4;
            if (!has(length))
                return map;
            at += length;
        }
    }
    if (!section(208) || !has(4))
        return map;
    map.counts.push_back(at);
    std::uint32_t operations = le32(bytes, at);
    at += 4;
    for (std::uint32_t i = 0; i < operations; ++i) {
        if (!has(120))
            return map;
        map.operations.push_back(at);
        map.counts.push_back(at + 112);
        std::uint32_t lines = le32(bytes, at + 112);
        at += 120;
        for (std::uint32_t l = 0; l < lines; ++l) {
            if (!has(120))
                return map;
            map.operations.push_back(at);
            map.lines.push_back(at);
            at += 120;
        }
    }
    map.wellFormed = at == bytes.size();
    return map;
}

// A loaded document must hold lists that agree with their counts and must
// write back the bytes it came from, except what carries nothing: the reserved
// block, the lines words, the line count of a line and any nonzero flag value.
void expectLoadedConsistently(const Document& doc, const std::vector<std::uint8_t>& input) {
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.currentAccount, doc.accounts.first());
    EXPECT_EQ(doc.alertsEnabled, input[8]);
    for (const OperationRecord& operation : doc.operations) {
        EXPECT_EQ(operation.lines == nullptr, operation.lineCount == 0);
        if (operation.lines) {
            EXPECT_EQ(static_cast<std::uint32_t>(operation.lines->count()), operation.lineCount);
        }
    }
    for (const AccountRecord& account : doc.accounts)
        EXPECT_TRUE(account.logo == kNoLogo || accountLogo(doc, account));

    FileMap map = mapFile(input);
    ASSERT_TRUE(map.wellFormed);
    std::vector<std::uint8_t> expected = input;
    expected[8] = input[8] ? 1 : 0;
    std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(map.reservedBlock), 64, 0);
    for (std::size_t at : map.operations)
        setLe32(expected, at + 116, 0);
    for (std::size_t at : map.lines)
        setLe32(expected, at + 112, 0);
    const std::vector<std::uint8_t> written = serializeDocument(doc);
    ASSERT_EQ(written.size(), expected.size());
    auto difference = std::mismatch(written.begin(), written.end(), expected.begin());
    EXPECT_TRUE(difference.first == written.end())
        << "the document writes back a different byte at " << (difference.first - written.begin());
}

class FileRobustness : public ::testing::Test {
  protected:
    void SetUp() override {
        image = richImage();
        map = mapFile(image);
        ASSERT_TRUE(map.wellFormed);
        ASSERT_EQ(map.logoLengths.size(), 6u);
        ASSERT_EQ(map.operations.size(), 12u); // 8 operations and 4 lines
    }
    // The layout check, which refuses files before any login, must refuse
    // the same files as the load, for the same reason.
    LoadStatus load(const std::vector<std::uint8_t>& bytes) {
        documentClose(doc);
        const LoadStatus status = loadDocumentFromBytes(doc, bytes);
        disk.files["damaged.kvn"] = bytes;
        EXPECT_EQ(checkAccountFile("damaged.kvn", disk), status);
        return status;
    }
    MemoryFileSystem disk;
    std::vector<std::uint8_t> image;
    FileMap map;
    Document doc;
};

TEST_F(FileRobustness, EveryTruncationIsRefusedAndLeavesNothing) {
    for (std::size_t size = 0; size < image.size(); ++size) {
        std::vector<std::uint8_t> prefix(image.begin(), image.begin() + static_cast<long>(size));
        LoadStatus status = load(prefix);
        ASSERT_NE(status, LoadStatus::Ok) << "a file cut to " << size << " bytes was accepted";
        ASSERT_TRUE(isEmpty(doc)) << "a file cut to " << size << " bytes left records behind";
    }
}

TEST_F(FileRobustness, CountsLargerThanTheDataAreRefusedWithoutAllocating) {
    for (std::size_t at : map.counts) {
        for (std::uint32_t count : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x01000000u, le32(image, at) + 200}) {
            std::vector<std::uint8_t> damaged = image;
            setLe32(damaged, at, count);
            std::vector<std::uint8_t> copy = damaged; // allocated before the meter starts
            std::size_t bytes;
            LoadStatus status;
            {
                AllocationMeter meter;
                status = loadDocumentFromBytes(doc, copy);
                bytes = meter.bytes();
            }
            EXPECT_NE(status, LoadStatus::Ok) << "count at " << at << " = " << count;
            EXPECT_TRUE(isEmpty(doc));
            // The records of this file take a few kilobytes; anything near the
            // counts' claims (gigabytes) would show here.
            if (AllocationMeter::kAvailable) {
                EXPECT_LT(bytes, 64u * 1024) << "count at " << at << " = " << count;
            }
            documentClose(doc);
        }
    }
}

TEST_F(FileRobustness, LogoLengthsOtherThanTheirBlockSizeAreRefused) {
    // The second account has the logo: its pixel length is the third word.
    const std::size_t pixels = map.logoLengths[2];
    const std::size_t mask = map.logoLengths[3];
    ASSERT_EQ(le32(image, pixels), 13824u);
    ASSERT_EQ(le32(image, mask), 576u);
    std::vector<std::vector<std::uint8_t>> damaged;
    for (std::uint32_t length : {1u, 576u, 13823u, 13825u, 27648u, 0xFFFFFFFFu}) {
        damaged.push_back(image);
        setLe32(damaged.back(), pixels, length);
    }
    for (std::uint32_t length : {1u, 575u, 577u, 13824u, 0x80000000u}) {
        damaged.push_back(image);
        setLe32(damaged.back(), mask, length);
    }
    // Pixels without mask, and mask without pixels.
    damaged.push_back(image);
    setLe32(damaged.back(), mask, 0);
    damaged.back().erase(damaged.back().begin() + static_cast<long>(mask + 4),
                         damaged.back().begin() + static_cast<long>(mask + 4 + 576));
    damaged.push_back(image);
    damaged.back().erase(damaged.back().begin() + static_cast<long>(pixels + 4),
                         damaged.back().begin() + static_cast<long>(pixels + 4 + 13824));
    setLe32(damaged.back(), pixels, 0);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_EQ(load(damaged[i]), LoadStatus::BadLogoLength) << "case " << i;
        EXPECT_TRUE(isEmpty(doc));
    }
    // A first account without logo that claims one, and the data is not there.
    std::vector<std::uint8_t> claims = image;
    setLe32(claims, map.logoLengths[0], 13824);
    EXPECT_NE(load(claims), LoadStatus::Ok);
    EXPECT_TRUE(isEmpty(doc));
}

TEST_F(FileRobustness, BytesAfterTheLastOperationAreRefused) {
    for (std::size_t extra : {1u, 4u, 120u}) {
        std::vector<std::uint8_t> longer = image;
        longer.resize(image.size() + extra, 0);
        EXPECT_EQ(load(longer), LoadStatus::TrailingBytes) << extra;
        EXPECT_TRUE(isEmpty(doc));
    }
}

TEST_F(FileRobustness, RandomDamageNeverCrashes) {
    ASSERT_EQ(load(image), LoadStatus::Ok);
    expectLoadedConsistently(doc, image);
    std::mt19937 random(20240611);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::uint8_t> damaged = image;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = random() % damaged.size();
            switch (random() % 5) {
            case 0:
                damaged[at] = static_cast<std::uint8_t>(random());
                break;
            case 1:
                damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                break;
            case 2: // a count-like word
                if (at + 4 <= damaged.size())
                    setLe32(damaged, at, random() % 2 ? random() % 8 : 0xFFFFFFFFu - random() % 8);
                break;
            case 3: // aim at the real counts and lengths
                setLe32(damaged, map.counts[random() % map.counts.size()], random() % 6);
                break;
            default:
                if (random() % 2)
                    damaged.erase(damaged.begin() + static_cast<long>(at));
                else
                    damaged.insert(damaged.begin() + static_cast<long>(at),
                                   static_cast<std::uint8_t>(random()));
            }
        }
        if (load(damaged) == LoadStatus::Ok) {
            ++loaded;
            expectLoadedConsistently(doc, damaged);
        } else {
            ++refused;
            ASSERT_TRUE(isEmpty(doc)) << "round " << round;
        }
        if (HasFailure())
            FAIL() << "round " << round;
    }
    std::cout << "[          ] " << loaded << " damaged files loaded, " << refused << " refused\n";
    // Both outcomes occur, so both checks above were exercised.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

// --- Large files: the disk and the memory running out ------------------------

// A file larger than the one buffer that reads and writes it: records straddle
// its refills. A read that fails halfway, or whichever allocation is refused,
// refuses the file and keeps nothing; with the memory there, it loads.
TEST(LargeFile, GoesThroughOneBufferAndIsRefusedWhenDiskOrMemoryFail) {
    const std::string path = "C:/Comptes/grand.kvn";
    MemoryFileSystem disk;
    Document doc;
    documentInit(doc);
    ASSERT_EQ(generateDocument(doc, {40000, 3, 20, 10, 4}), GeneratorStatus::Ok);
    const std::vector<std::uint8_t> image = serializeDocument(doc);
    ASSERT_EQ(saveDocument(doc, path, disk), 1);
    documentClose(doc);
    EXPECT_EQ(disk.files.at(path), image);
    EXPECT_EQ(disk.files.size(), 1u); // a first save makes no backup
    // Whole buffers, not record by record, and never the whole file at once.
    EXPECT_LE(disk.largestWrite, kFileChunkBytes);
    EXPECT_GT(disk.largestWrite, kFileChunkBytes - kAccountFileSize);
    for (std::size_t readable : {std::size_t{0}, kFileChunkBytes + 1000, image.size() - 1}) {
        disk.readableBytes = readable;
        EXPECT_EQ(loadDocument(doc, path, disk), LoadStatus::CannotOpen) << readable;
        EXPECT_TRUE(isEmpty(doc)) << readable;
    }
    disk.readableBytes = SIZE_MAX;
    std::size_t needed;
    {
        AllocationMeter meter;
        ASSERT_EQ(loadDocument(doc, path, disk), LoadStatus::Ok);
        needed = meter.allBytes();
    }
    EXPECT_EQ(serializeDocument(doc), image);
    documentClose(doc);
    if (!AllocationMeter::kAvailable)
        GTEST_SKIP() << "the address sanitizer's operator new cannot be limited";
    // More than what the record pools keep between documents.
    ASSERT_GT(needed, 2 * SlabPool::kBlockBytes);
    doc.sortOrder = 0;
    for (std::size_t limit : {std::size_t{0}, std::size_t{64} << 10, needed / 2, needed - 1}) {
        LoadStatus status;
        {
            AllocationMeter meter(limit);
            status = loadDocument(doc, path, disk);
        }
        EXPECT_EQ(status, LoadStatus::OutOfMemory) << limit;
        EXPECT_TRUE(isEmpty(doc)) << limit;
        EXPECT_EQ(doc.sortOrder, 0u);
    }
    {
        AllocationMeter meter(needed);
        ASSERT_EQ(loadDocument(doc, path, disk), LoadStatus::Ok);
    }
    EXPECT_EQ(serializeDocument(doc), image);
    EXPECT_EQ(doc.filePath, path);
}

// --- Replay of the fuzzing corpus ---------------------------------------------

TEST(FuzzCorpus, EveryFileLoadsConsistentlyOrIsRefused) {
    const std::filesystem::path folder = sourcePath(KOLVANE_FUZZ_CORPUS);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
#ifdef _WIN32
        GTEST_SKIP() << "the corpus folder " << folder.string()
                     << " is not reachable from this Windows build";
#else
        FAIL() << "no corpus folder at " << folder.string();
#endif
    }
    int files = 0, seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = readFile(entry.path().string());
        Document doc;
        documentInit(doc);
        LoadStatus status = loadDocumentFromBytes(doc, bytes);
        // The seeds are well-formed files written by our own generator.
        if (name.rfind("seed-", 0) == 0) {
            ++seeds;
            EXPECT_EQ(status, LoadStatus::Ok);
        }
        if (status == LoadStatus::Ok)
            expectLoadedConsistently(doc, bytes);
        else
            EXPECT_TRUE(isEmpty(doc));
        ++files;
    }
    EXPECT_GT(seeds, 0);
    std::cout << "[          ] " << files << " corpus files replayed\n";
}

} // namespace
} // namespace kolvane
