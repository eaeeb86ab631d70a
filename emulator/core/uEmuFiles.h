#pragma once
// The files of an emulator folder: on disk, or, in a process that asks for it, in memory. The
// fuzz target keeps them in memory: writing, flushing and parsing the state at every step took
// nearly all of its time. In memory nothing reaches the disk and the files last as long as the
// process; the commit order, and so what a reader sees, is the same.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "uEmuState.h"

namespace fr::emu::files {

// Keeps every emulator folder of this process in memory from now on. Call it before the first
// emulator object is made; it cannot be undone.
void keepInMemory();
bool inMemory();

// In memory the state file holds the state itself: writing and parsing its text at every step
// would again take most of the time.
std::optional<TEmuState> keptState(const std::filesystem::path& file);  // nothing when missing
void keepState(const std::filesystem::path& file, const TEmuState& state);

bool exists(const std::filesystem::path& file);
// The whole content; nothing when the file is missing or cannot be read.
std::optional<std::string> read(const std::filesystem::path& file);
// When the content last changed; another value at every write in memory.
std::filesystem::file_time_type writeTime(const std::filesystem::path& file);
uint64_t size(const std::filesystem::path& file);  // 0 when missing
// Replaces the whole content in one step (on disk: flushed, see platform::writeFileAtomically).
// Raises EInOutError.
void replace(const std::filesystem::path& file, std::string_view bytes);
// Appends (on disk: flushed). Raises EInOutError.
void append(const std::filesystem::path& file, std::string_view bytes);
// Cuts the file to `length` bytes; false when it cannot be done.
bool truncate(const std::filesystem::path& file, uint64_t length);
void remove(const std::filesystem::path& file);
// Creates the folder and its parents; false when it is not there afterwards.
bool makeFolder(const std::filesystem::path& folder);

}  // namespace fr::emu::files
