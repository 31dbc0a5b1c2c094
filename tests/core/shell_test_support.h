// A file system in memory for the shell's tests, each step of which can be
// made to fail.
#pragma once

#include "document/file_system.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kolvane::shelltest {

using Bytes = std::vector<std::uint8_t>;

class MemoryFiles : public FileSystem {
  public:
    std::map<std::string, Bytes> files;
    std::set<std::string> unreadable; // present but refusing to be read
    bool failCreate = false;
    bool failWrite = false;
    bool failReplace = false;

    ReadResult readAll(const std::string& path, Bytes& out, std::uint64_t maxSize) override {
        if (unreadable.count(path))
            return ReadResult::ReadError;
        auto found = files.find(path);
        if (found == files.end())
            return ReadResult::CannotOpen;
        if (found->second.size() > maxSize)
            return ReadResult::TooLarge;
        out = found->second;
        return ReadResult::Ok;
    }
    std::unique_ptr<OutputFile> create(const std::string& path) override {
        if (failCreate)
            return nullptr;
        files[path].clear();
        return std::make_unique<Output>(*this, path);
    }
    bool exists(const std::string& path) override {
        return files.count(path) != 0 || unreadable.count(path) != 0;
    }
    bool keepBackup(const std::string& path, const std::string& backup) override {
        files[backup] = files[path];
        return true;
    }
    bool replace(const std::string& from, const std::string& to) override {
        if (failReplace || !files.count(from))
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool remove(const std::string& path) override { return files.erase(path) != 0; }

  private:
    class Output : public OutputFile {
      public:
        Output(MemoryFiles& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        bool write(const std::uint8_t* data, std::size_t size) override {
            if (fs_.failWrite)
                return false;
            Bytes& file = fs_.files[path_];
            file.insert(file.end(), data, data + size);
            return true;
        }
        bool flush() override { return true; }
        bool close() override { return true; }

      private:
        MemoryFiles& fs_;
        std::string path_;
    };
};

} // namespace kolvane::shelltest
