// A file system in memory for the tests, any one step of which can be made to
// fail the way a full or vanished disk would.
#pragma once

#include "document/file_system.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kolvane {

enum class FailStep { None, Create, Write, Flush, Close, KeepBackup, Replace };

class MemoryFileSystem : public FileSystem {
  public:
    using Bytes = std::vector<std::uint8_t>;

    std::map<std::string, Bytes> files;
    std::set<std::string> unreadable; // present but refusing to be read
    FailStep failAt = FailStep::None;
    std::size_t readableBytes = SIZE_MAX; // reads beyond fail, like a disk going away
    std::size_t largestWrite = 0;

    std::string lastError() const override { return lastError_; }

    // An unreadable file opens, then fails at its first read.
    std::unique_ptr<InputFile> open(const std::string& path) override {
        if (unreadable.count(path))
            return std::make_unique<Input>(*this, Bytes(16), 0);
        auto found = files.find(path);
        if (found == files.end())
            return fail("fichier introuvable"), nullptr;
        return std::make_unique<Input>(*this, found->second, readableBytes);
    }
    std::unique_ptr<OutputFile> create(const std::string& path) override {
        if (failAt == FailStep::Create)
            return fail("accès refusé"), nullptr;
        files[path].clear();
        return std::make_unique<File>(*this, path);
    }
    bool exists(const std::string& path) override {
        return files.count(path) != 0 || unreadable.count(path) != 0;
    }
    bool keepBackup(const std::string& path, const std::string& backup) override {
        auto found = files.find(path);
        if (failAt == FailStep::KeepBackup || found == files.end())
            return fail("copie impossible");
        files[backup] = found->second;
        return true;
    }
    bool replace(const std::string& from, const std::string& to) override {
        auto found = files.find(from);
        if (failAt == FailStep::Replace || found == files.end())
            return fail("fichier verrouillé");
        Bytes moved = std::move(found->second);
        files.erase(found);
        files[to] = std::move(moved);
        return true;
    }
    bool remove(const std::string& path) override {
        return files.erase(path) != 0 || fail("fichier introuvable");
    }

  private:
    std::string lastError_;
    bool fail(const char* reason) {
        lastError_ = reason;
        return false;
    }

    class Input : public InputFile {
      public:
        Input(MemoryFileSystem& owner, Bytes bytes, std::size_t readable)
            : owner_(owner), bytes_(std::move(bytes)),
              readable_(std::min(readable, bytes_.size())) {}
        std::uint64_t size() const override { return bytes_.size(); }
        bool read(std::uint8_t* data, std::size_t size) override {
            if (size > readable_ - position_)
                return owner_.fail("accès refusé");
            std::copy_n(bytes_.data() + position_, size, data);
            position_ += size;
            return true;
        }

      private:
        MemoryFileSystem& owner_;
        Bytes bytes_;
        std::size_t readable_;
        std::size_t position_ = 0;
    };

    class File : public OutputFile {
      public:
        File(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        bool write(const std::uint8_t* data, std::size_t size) override {
            Bytes& content = owner_.files[path_];
            owner_.largestWrite = std::max(owner_.largestWrite, size);
            if (owner_.failAt == FailStep::Write) {
                content.insert(content.end(), data, data + size / 2); // disk full halfway
                return owner_.fail("disque plein");
            }
            content.insert(content.end(), data, data + size);
            return true;
        }
        bool flush() override {
            return owner_.failAt != FailStep::Flush || owner_.fail("erreur d'écriture");
        }
        bool close() override {
            if (closed_)
                return true;
            closed_ = true;
            return owner_.failAt != FailStep::Close || owner_.fail("erreur à la fermeture");
        }

      private:
        MemoryFileSystem& owner_;
        std::string path_;
        bool closed_ = false;
    };
};

} // namespace kolvane
