#include "uEmuFiles.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <system_error>

#include "platform/Platform.h"

namespace fr::emu::files {

namespace fs = std::filesystem;

namespace {
std::atomic<bool> gInMemory{false};

struct MemoryFile {
    std::string bytes;
    std::optional<TEmuState> state;  // the state file's content
    uint64_t version = 0;  // its write time: a count of every write in memory
};

class MemoryFiles {
public:
    // `look` gets the file, or null when it is missing.
    template <class F>
    auto look(const fs::path& file, F look) {
        std::lock_guard g(FLock);
        const auto it = FFiles.find(key(file));
        return look(it == FFiles.end() ? static_cast<const MemoryFile*>(nullptr) : &it->second);
    }
    // `change` gets the file, empty when it was missing.
    template <class F>
    void write(const fs::path& file, F change) {
        std::lock_guard g(FLock);
        MemoryFile& f = FFiles[key(file)];
        change(f);
        f.version = ++FWrites;
    }
    void remove(const fs::path& file) {
        std::lock_guard g(FLock);
        FFiles.erase(key(file));
    }

private:
    static std::string key(const fs::path& file) { return fs::absolute(file).lexically_normal().string(); }
    std::mutex FLock;
    std::map<std::string, MemoryFile> FFiles;
    uint64_t FWrites = 0;
};

MemoryFiles& memory() {
    static MemoryFiles m;
    return m;
}

}  // namespace

void keepInMemory() { gInMemory = true; }
bool inMemory() { return gInMemory.load(std::memory_order_relaxed); }

std::optional<TEmuState> keptState(const fs::path& file) {
    return memory().look(file, [](const MemoryFile* f) { return f ? f->state : std::nullopt; });
}

void keepState(const fs::path& file, const TEmuState& state) {
    memory().write(file, [&](MemoryFile& f) { f.state = state; });
}

bool exists(const fs::path& file) {
    if (inMemory()) return memory().look(file, [](const MemoryFile* f) { return f != nullptr; });
    std::error_code ec;
    return fs::exists(file, ec);
}

std::optional<std::string> read(const fs::path& file) {
    if (inMemory())
        return memory().look(file, [](const MemoryFile* f) { return f ? std::optional(f->bytes) : std::nullopt; });
    return platform::readWholeFile(file.u16string());
}

fs::file_time_type writeTime(const fs::path& file) {
    if (inMemory())
        return memory().look(file, [](const MemoryFile* f) {
            return fs::file_time_type(fs::file_time_type::duration(f ? f->version : 0));
        });
    std::error_code ec;
    return fs::last_write_time(file, ec);
}

uint64_t size(const fs::path& file) {
    if (inMemory()) return memory().look(file, [](const MemoryFile* f) { return f ? uint64_t{f->bytes.size()} : 0; });
    std::error_code ec;
    const auto n = fs::file_size(file, ec);
    return ec ? 0 : n;
}

void replace(const fs::path& file, std::string_view bytes) {
    if (inMemory()) return memory().write(file, [&](MemoryFile& f) { f.bytes.assign(bytes); });
    platform::writeFileAtomically(file.u16string(), bytes);
}

void append(const fs::path& file, std::string_view bytes) {
    if (inMemory()) return memory().write(file, [&](MemoryFile& f) { f.bytes.append(bytes); });
    platform::appendFileDurably(file.u16string(), bytes);
}

bool truncate(const fs::path& file, uint64_t length) {
    if (inMemory()) {
        memory().write(file, [&](MemoryFile& f) { f.bytes.resize(std::min<uint64_t>(f.bytes.size(), length)); });
        return true;
    }
    std::error_code ec;
    fs::resize_file(file, length, ec);
    return !ec;
}

void remove(const fs::path& file) {
    if (inMemory()) return memory().remove(file);
    std::error_code ec;
    fs::remove(file, ec);
}

bool makeFolder(const fs::path& folder) {
    if (inMemory()) return true;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

}  // namespace fr::emu::files
