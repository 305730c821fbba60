// A source folder that changes between runs and remembers every content each of its files
// has had, so a backup can be checked against the versions it may legitimately hold.
#pragma once

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/file_tree.h"
#include "support/numbered_name.h"

namespace arkivo::test {

inline std::uint64_t ContentHash(const std::string& bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : bytes) {
        hash = (hash ^ c) * 0x100000001B3ull;
    }
    return hash ^ bytes.size();
}

class SourceHistory {
  public:
    SourceHistory(std::filesystem::path root, std::mt19937_64& random)
        : root_(std::move(root)), random_(random) {
        clock_ = static_cast<std::int64_t>(::time(nullptr));
    }

    // Nested folders of files from empty to a few MiB.
    void MakeInitialTree(int files) {
        for (int i = 0; i < files; ++i) {
            Write(NewName(), RandomContent(SizeOfNewFile()));
        }
        Write("big/large.bin", RandomContent(4 << 20));
    }

    // A handful of changes of every kind: new files (some in new nested folders), files
    // rewritten, grown, shrunk and deleted, and now and then a large file rewritten so that a
    // run spends a while inside one file.
    void Mutate() {
        clock_ += 2;
        changed_.clear();
        const int changes = 3 + static_cast<int>(random_() % 8);
        for (int i = 0; i < changes; ++i) {
            const auto names = Existing();
            const unsigned kind = names.empty() ? 0 : static_cast<unsigned>(random_() % 6);
            const std::string name = names.empty() ? "" : names[random_() % names.size()];
            switch (kind) {
                case 0:
                    Write(NewName(), RandomContent(SizeOfNewFile()));
                    break;
                case 1:
                    Write(name, RandomContent(SizeOfNewFile()));
                    break;
                case 2:
                    Write(name, ReadBytes(root_ / name) + RandomContent(1 + random_() % 200000));
                    break;
                case 3: {
                    const std::string old = ReadBytes(root_ / name);
                    Write(name, old.substr(0, old.empty() ? 0 : random_() % old.size()));
                    break;
                }
                case 4:
                    std::filesystem::remove(root_ / name);
                    changed_.erase(name);
                    break;
                default:
                    Write("big/" + NumberedName("large", random_() % 3) + ".bin",
                          RandomContent((2 << 20) + random_() % (6 << 20)));
                    break;
            }
        }
    }

    // Whether bytes are some content the source had at that path.
    bool HadVersion(const std::string& relative, const std::string& bytes) const {
        const auto found = versions_.find(relative);
        return found != versions_.end() && found->second.count(ContentHash(bytes)) != 0;
    }

    // The files the last Mutate wrote that still exist.
    const std::set<std::string>& changed() const { return changed_; }
    const std::filesystem::path& root() const { return root_; }

  private:
    std::vector<std::string> Existing() const {
        std::vector<std::string> names;
        for (const auto& [name, content] : FileContents(root_)) {
            names.push_back(name);
        }
        return names;
    }

    std::string NewName() {
        std::string name;
        const int depth = static_cast<int>(random_() % 4);
        for (int d = 0; d < depth; ++d) {
            name += NumberedName("dir", random_() % 5) + "/";
        }
        return name + NumberedName("file", next_++) + ".dat";
    }

    std::size_t SizeOfNewFile() {
        const unsigned shape = random_() % 10;
        return shape == 0 ? 0 : shape < 7 ? random_() % 20000 : random_() % 600000;
    }

    // Half random bytes, half a repeated phrase, so archives hold both stored-like and
    // well-compressed data.
    std::string RandomContent(std::size_t size) {
        std::string bytes(size, '\0');
        const bool text = random_() % 2 == 0;
        const std::string phrase = "version " + std::to_string(random_()) + " of a line\n";
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = text ? phrase[i % phrase.size()] : static_cast<char>(random_() & 0xFF);
        }
        return bytes;
    }

    // Every write gets a last-write time of its own, ahead of the one before: whatever
    // moment in a second the file changes, a run sees that it changed.
    void Write(const std::string& relative, const std::string& bytes) {
        MakeFile(root_ / relative, bytes, clock_);
        versions_[relative].insert(ContentHash(bytes));
        changed_.insert(relative);
    }

    std::filesystem::path root_;
    std::mt19937_64& random_;
    std::int64_t clock_;
    long long next_ = 0;
    std::map<std::string, std::set<std::uint64_t>> versions_;
    std::set<std::string> changed_;
};

}  // namespace arkivo::test
