#pragma once
// The emulator's folder: the state file, the paper tape and the faults file.
//
// A document is committed in two steps: the new state is written atomically together with the
// document's text and the length the tape must reach; then the text is appended to the tape and
// flushed. The state file is the commit point: if the process dies between the steps, the next
// load finds the tape short of that length and finishes the document, so the tape and the
// counters always agree. The files are on disk unless the process keeps them in memory
// (uEmuFiles.h).
#include <filesystem>
#include <optional>
#include <string>

#include "uEmuState.h"

namespace fr::emu {

// FR_EMULATOR_DIR when set, else "Vornlex/FiscalPrinterEmulator" under the user's local data folder.
std::filesystem::path defaultEmulatorFolder();

// A new device's serial number: kSerialDigits digits starting with "99", our own range. Devices
// must not share one: the driver keeps its money journal by the register's serial number.
constexpr size_t kSerialDigits = 16;
std::u16string newSerialNumber();

class TEmuStore {
public:
    explicit TEmuStore(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return FFolder; }
    std::filesystem::path statePath() const { return FFolder / "state.json"; }
    std::filesystem::path tapePath() const { return FFolder / "tape.txt"; }
    std::filesystem::path faultsPath() const { return FFolder / "faults.txt"; }

    // The saved state. No state file: a new device, saved at once. A file that cannot be read or
    // is not a valid state raises EEmuError(ecSeeExtended) naming the file; it is never replaced.
    TEmuState load();
    // Makes `next` the saved state and prints `document` (UTF-8, whole lines) on the tape. `current`
    // is the state saved before. Raises EInOutError when the state cannot be written; then
    // nothing changed.
    void commit(const TEmuState& current, TEmuState& next, const std::string& document);
    // Forgets the device: removes the state file and the tape (the faults file stays).
    void reset();

private:
    std::optional<TEmuState> readState() const;  // from the disk; nothing when there is no file
    void saveState(const TEmuState& s);
    // Finishes the last document on the tape when a crash cut it short.
    void completeTape(const TEmuState& s);
    uint64_t tapeSize() const;
    std::filesystem::path FFolder;
};

}  // namespace fr::emu
