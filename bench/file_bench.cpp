// Loading and saving a large account file, against the plain cost of moving
// the same bytes through the disk.
//
// The documents: 1 000 000 and 100 000 operations (one in ten split over two
// to four lines) on 10 accounts and 200 third parties, made by the generator
// behind `kvn generate`; the larger file is about 156 MB.
//
//   load_vs_plain_read  = load and close of the document, in a process of its
//                         own (a fresh heap, as when the program starts)
//                         / read() of the file through one reused buffer of
//                         the loader's chunk size (what `cat` does)
//   save_vs_plain_write = saveDocument (temporary file, flush, backup, rename)
//                         / write() of as many bytes through one reused buffer
//                         of that size, then fsync
// Each ratio is measured within the same iterations, the plain operation and
// the real one one after the other, so both see the same disk and cache. The
// absolute times (milliseconds per iteration) stand beside the ratios.
#include "document/account_file.h"
#include "document/document.h"
#include "document/generator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace kolvane;
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// One temporary folder for the whole run, one file per size, written once.
class Files {
  public:
    Files()
        : folder_(std::filesystem::temp_directory_path() /
                  ("kolvane-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // The account file of `operations` operations, generated on first use.
    const std::string& accountFile(std::uint32_t operations) {
        auto found = made_.find(operations);
        if (found != made_.end())
            return found->second;
        std::string file = path("large-" + std::to_string(operations) + ".kvn");
        Document doc;
        documentInit(doc);
        if (generateDocument(doc, {operations, 10, 200, 10, 42}) != GeneratorStatus::Ok ||
            !saveDocument(doc, file))
            std::fprintf(stderr, "cannot make %s\n", file.c_str());
        return made_[operations] = file;
    }

  private:
    std::filesystem::path folder_;
    std::map<std::uint32_t, std::string> made_;
};

Files& files() {
    static Files instance;
    return instance;
}

std::uint64_t fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::vector<std::uint8_t>& chunkBuffer() {
    static std::vector<std::uint8_t> buffer(kFileChunkBytes);
    return buffer;
}

// What any program has to do to get the bytes into memory.
std::uint64_t plainRead(const std::string& path) {
    std::vector<std::uint8_t>& buffer = chunkBuffer();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::uint64_t total = 0;
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
        total += static_cast<std::uint64_t>(got);
    ::close(fd);
    benchmark::DoNotOptimize(buffer.data());
    return total;
}

// And to put as many bytes safely on the disk.
bool plainWrite(const std::string& path, std::uint64_t size) {
    const std::vector<std::uint8_t>& buffer = chunkBuffer();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    for (std::uint64_t left = size; ok && left > 0;) {
        const std::size_t piece =
            left < buffer.size() ? static_cast<std::size_t>(left) : buffer.size();
        const ssize_t put = ::write(fd, buffer.data(), piece);
        ok = put > 0;
        left -= ok ? static_cast<std::uint64_t>(put) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// Loads and closes the document in a child process, which reports the time
// it took; negative when the load failed.
double loadInFreshProcess(const std::string& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const auto start = Clock::now();
        double elapsed = -1;
        {
            Document doc;
            documentInit(doc);
            const bool loaded = loadDocument(doc, path) != 0;
            documentClose(doc);
            if (loaded)
                elapsed = seconds(Clock::now() - start);
        }
        const bool sent = ::write(pipeEnds[1], &elapsed, sizeof elapsed) == sizeof elapsed;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    double elapsed = -1;
    if (child < 0 || ::read(pipeEnds[0], &elapsed, sizeof elapsed) != sizeof elapsed)
        elapsed = -1;
    ::close(pipeEnds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return elapsed;
}

void setCounters(benchmark::State& state, const char* ratioName, double realTime,
                 const char* plainName, double plainTime, std::uint64_t bytes) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters[ratioName] = realTime / plainTime;
    state.counters[plainName] = plainTime / iterations * 1e3;
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_Load(benchmark::State& state) {
    const std::string& path = files().accountFile(static_cast<std::uint32_t>(state.range(0)));
    const std::uint64_t size = fileSize(path);
    double loadTime = 0, plainTime = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (plainRead(path) != size)
            state.SkipWithError("the file did not read");
        plainTime += seconds(Clock::now() - start);

        const double elapsed = loadInFreshProcess(path);
        if (elapsed < 0)
            state.SkipWithError("the file did not load");
        loadTime += elapsed;
        state.SetIterationTime(elapsed);
    }
    setCounters(state, "load_vs_plain_read", loadTime, "plain_read_ms", plainTime, size);
}

void BM_Save(benchmark::State& state) {
    const std::string& source = files().accountFile(static_cast<std::uint32_t>(state.range(0)));
    const std::string savePath = files().path("saved.kvn");
    const std::string plainPath = files().path("plain.bin");
    Document doc;
    documentInit(doc);
    if (!loadDocument(doc, source)) {
        state.SkipWithError("the file did not load");
        return;
    }
    const std::uint64_t size = fileSize(source);
    double saveTime = 0, plainTime = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (!plainWrite(plainPath, size))
            state.SkipWithError("cannot write");
        plainTime += seconds(Clock::now() - start);

        start = Clock::now();
        if (!saveDocument(doc, savePath))
            state.SkipWithError("the file was not saved");
        const double elapsed = seconds(Clock::now() - start);
        saveTime += elapsed;
        state.SetIterationTime(elapsed);
    }
    setCounters(state, "save_vs_plain_write", saveTime, "plain_write_ms", plainTime, size);
}

BENCHMARK(BM_Load)
    ->Arg(1000000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8);
BENCHMARK(BM_Save)
    ->Arg(1000000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace

// The one main of kolvane_bench: other benchmark files only add BENCHMARK()s.
BENCHMARK_MAIN();
