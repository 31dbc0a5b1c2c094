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
// absolute times (milliseconds per iteration) stand beside the ratios, and
// the same ratios in CPU time (`*_cpu`): on a machine shared with other work
// the wall times wait for a processor as much as for the disk.
#include "document/account_file.h"
#include "document/document.h"
#include "document/generator.h"
#include "document/slab_pool.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
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

// CPU time of the calling process (user and system), in seconds.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Wall and CPU time of one step.
struct Times {
    double wall = 0;
    double cpu = 0;
    Times& operator+=(const Times& other) {
        wall += other.wall;
        cpu += other.cpu;
        return *this;
    }
};

template <class Step> Times timed(Step step) {
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    step();
    return {seconds(Clock::now() - start), cpuSeconds() - cpuStart};
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

// Runs `step` in a child process, a fresh heap, which reports its times and
// how much its peak resident size grew; negative times when the step failed.
struct ChildResult {
    Times times{-1, -1};
    long peakKilobytes = 0;
};
template <class Step> ChildResult inFreshProcess(Step step) {
    ChildResult result;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        bool done = false;
        ChildResult measured;
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        measured.times = timed([&] { done = step(); });
        ::getrusage(RUSAGE_SELF, &after);
        measured.peakKilobytes = after.ru_maxrss - before.ru_maxrss;
        if (!done)
            measured.times = {-1, -1};
        const bool sent = ::write(pipeEnds[1], &measured, sizeof measured) == sizeof measured;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    if (child < 0 || ::read(pipeEnds[0], &result, sizeof result) != sizeof result)
        result = {};
    ::close(pipeEnds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return result;
}

// Loads and closes the document.
bool loadAndClose(const std::string& path) {
    Document doc;
    documentInit(doc);
    const bool loaded = loadDocument(doc, path);
    documentClose(doc);
    return loaded;
}

// What any program holding that much in memory pays first: fresh memory from
// the system, in blocks of 2 MiB offered for large pages as the record pools
// do, written once every 4 KiB. Free of the program's own work, it is the
// floor under the load's time on a given machine.
bool touchFreshMemory(std::size_t bytes) {
    constexpr std::size_t kBlock = SlabPool::kBlockBytes;
    std::vector<void*> blocks;
    for (std::size_t done = 0; done < bytes; done += kBlock) {
        void* block = std::aligned_alloc(kBlock, kBlock);
        if (!block)
            return false;
#ifdef MADV_HUGEPAGE
        ::madvise(block, kBlock, MADV_HUGEPAGE);
#endif
        for (std::size_t at = 0; at < kBlock; at += 4096)
            static_cast<volatile char*>(block)[at] = 1;
        blocks.push_back(block);
    }
    for (void* block : blocks)
        std::free(block);
    return true;
}

void setCounters(benchmark::State& state, const std::string& ratioName, const Times& real,
                 const std::string& plainName, const Times& plain, std::uint64_t bytes) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters[ratioName] = real.wall / plain.wall;
    state.counters[ratioName + "_cpu"] = real.cpu / plain.cpu;
    state.counters[plainName + "_ms"] = plain.wall / iterations * 1e3;
    state.counters[plainName + "_cpu_ms"] = plain.cpu / iterations * 1e3;
    state.counters["cpu_ms"] = real.cpu / iterations * 1e3;
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_Load(benchmark::State& state) {
    const std::string& path = files().accountFile(static_cast<std::uint32_t>(state.range(0)));
    const std::uint64_t size = fileSize(path);
    Times load, plain, fresh;
    for (auto _ : state) {
        std::uint64_t read = 0;
        plain += timed([&] { read = plainRead(path); });
        if (read != size)
            state.SkipWithError("the file did not read");
        const ChildResult loaded = inFreshProcess([&] { return loadAndClose(path); });
        if (loaded.times.wall < 0)
            state.SkipWithError("the file did not load");
        load += loaded.times;
        state.SetIterationTime(loaded.times.wall);
        const std::size_t peak = static_cast<std::size_t>(loaded.peakKilobytes) << 10;
        fresh += inFreshProcess([&] { return touchFreshMemory(peak); }).times;
    }
    setCounters(state, "load_vs_plain_read", load, "plain_read", plain, size);
    state.counters["fresh_memory_ms"] = fresh.wall / static_cast<double>(state.iterations()) * 1e3;
    state.counters["fresh_memory_vs_plain_read"] = fresh.wall / plain.wall;
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
    Times save, plain;
    for (auto _ : state) {
        bool written = false;
        plain += timed([&] { written = plainWrite(plainPath, size); });
        if (!written)
            state.SkipWithError("cannot write");
        const Times times = timed([&] { written = saveDocument(doc, savePath); });
        if (!written)
            state.SkipWithError("the file was not saved");
        save += times;
        state.SetIterationTime(times.wall);
    }
    setCounters(state, "save_vs_plain_write", save, "plain_write", plain, size);
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
