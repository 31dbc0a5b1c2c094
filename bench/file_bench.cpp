// Loading and saving a large account file, against the plain cost of moving
// the same bytes through the disk.
//
// The document: 1 000 000 operations (one in ten split over two to four lines)
// on 10 accounts and 200 third parties, about 156 MB on disk, made by the
// generator behind `kvn generate`.
//
//   load_vs_plain_read  = time of loadDocument / time of open + read + close
//   save_vs_plain_write = time of saveDocument / time of open + write + fsync + close
// Each ratio is measured within the same iterations, the plain operation
// and the real one one after the other, so both see the same disk and cache.
#include "document/account_file.h"
#include "document/document.h"
#include "document/generator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace kolvane;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kOperations = 1000000;
constexpr std::uint32_t kAccounts = 10;
constexpr std::uint32_t kThirds = 200;

void buildLargeDocument(Document& doc) {
    documentInit(doc);
    if (generateDocument(doc, {kOperations, kAccounts, kThirds, 10, 42}) != GeneratorStatus::Ok)
        std::fprintf(stderr, "cannot generate the document\n");
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The files live in one temporary folder for the whole run.
struct LargeFile {
    LargeFile() {
        folder = std::filesystem::temp_directory_path() /
                 ("kolvane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        buildLargeDocument(doc);
        image = serializeDocument(doc);
        loadPath = (folder / "large.kvn").string();
        savePath = (folder / "saved.kvn").string();
        plainPath = (folder / "plain.bin").string();
        if (!saveDocument(doc, loadPath))
            std::fprintf(stderr, "cannot write %s\n", loadPath.c_str());
    }
    ~LargeFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
    Document doc;
    std::vector<std::uint8_t> image;
    std::string loadPath, savePath, plainPath;
};

LargeFile& largeFile() {
    static LargeFile file;
    return file;
}

// What any program has to do to get the bytes into memory.
std::size_t plainRead(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    ::fstat(fd, &info);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    benchmark::DoNotOptimize(bytes.data());
    return done;
}

// And to put them safely on the disk.
bool plainWrite(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put <= 0)
            break;
        done += static_cast<std::size_t>(put);
    }
    bool ok = done == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

void setBytes(benchmark::State& state, std::size_t size) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}

void BM_PlainRead(benchmark::State& state) {
    LargeFile& file = largeFile();
    for (auto _ : state)
        plainRead(file.loadPath);
    setBytes(state, file.image.size());
}

void BM_Load(benchmark::State& state) {
    LargeFile& file = largeFile();
    double loadTime = 0, plainTime = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto start = Clock::now();
        plainRead(file.loadPath);
        plainTime += seconds(Clock::now() - start);
        Document doc;
        documentInit(doc);
        state.ResumeTiming();

        start = Clock::now();
        if (!loadDocument(doc, file.loadPath))
            state.SkipWithError("the file did not load");
        loadTime += seconds(Clock::now() - start);

        state.PauseTiming();
        documentClose(doc);
        state.ResumeTiming();
    }
    state.counters["load_vs_plain_read"] = loadTime / plainTime;
    setBytes(state, file.image.size());
}

void BM_PlainWrite(benchmark::State& state) {
    LargeFile& file = largeFile();
    for (auto _ : state)
        if (!plainWrite(file.plainPath, file.image))
            state.SkipWithError("cannot write");
    setBytes(state, file.image.size());
}

void BM_Save(benchmark::State& state) {
    LargeFile& file = largeFile();
    double saveTime = 0, plainTime = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto start = Clock::now();
        plainWrite(file.plainPath, file.image);
        plainTime += seconds(Clock::now() - start);
        state.ResumeTiming();

        start = Clock::now();
        if (!saveDocument(file.doc, file.savePath))
            state.SkipWithError("the file was not saved");
        saveTime += seconds(Clock::now() - start);
    }
    state.counters["save_vs_plain_write"] = saveTime / plainTime;
    setBytes(state, file.image.size());
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

// The one main of kolvane_bench: other benchmark files only add BENCHMARK()s.
BENCHMARK_MAIN();
