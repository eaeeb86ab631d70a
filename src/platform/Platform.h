#pragma once
// Operating-system services behind one interface; platform/posix and platform/win32 implement it.
// Natively folders come from the XDG variables, text is written as UTF-8 and message boxes are
// recorded, not shown.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "automation/FormatSettings.h"

namespace fr::platform {

// The user's locale formats (native: Russian defaults).
TFormatSettings userFormatSettings();

// Current local date and time as an OLE serial (milliseconds kept).
double nowLocal();

// A new GUID in registry form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case digits.
std::u16string newGuidString();

// ---- Files and folders ----
char16_t pathDelimiter();
std::u16string includeTrailingPathDelimiter(const std::u16string& path);
// The all-users application-data folder (native: $XDG_DATA_HOME or ~/.local/share); empty when unknown.
std::u16string commonAppDataFolder();
// The current user's application-data folder (native: the same XDG folder).
std::u16string userAppDataFolder();
bool directoryExists(const std::u16string& path);
// Creates every missing folder on the path; false when one cannot be made.
bool forceDirectories(const std::u16string& path);
// Makes sure Everyone has full access to the folder, inherited by what it holds. Raises EOSError
// when a system call fails. Natively nothing to do.
void grantEveryoneFullAccess(const std::u16string& folder);

// Appends one line (CR LF added) in the system's single-byte code page (UTF-8 natively), opening
// and closing the file; one writer at a time. One try, no waiting: Busy when another writer holds
// the file at that moment (the caller decides whether to try again), Failed for any other reason.
// The file must be one of our own (see checkOwnFile), as others may write in the folder: the name
// is opened without following a link, and when it holds anything else its name is removed (never
// what it points to) and a fresh file is made whose first line is freshFileNote(what was found).
enum class AppendResult { Written, Busy, Failed };
using FreshFileNote = std::function<std::u16string(const std::u16string& found)>;
AppendResult tryAppendLine(const std::u16string& fileName, const std::u16string& line,
                           const FreshFileNote& freshFileNote = {});
// Text in the system's single-byte (ANSI) code page; UTF-8 natively.
std::string toSystemCodePage(const std::u16string& text);
// Text as it comes back from the system's single-byte code page: every character that page cannot
// hold replaced as the conversion replaces it. Natively (UTF-8, which holds every character) the
// text itself.
std::u16string throughSystemCodePage(const std::u16string& text);

// ---- The module ----
// Full file name of the module holding this code (the DLL on Windows).
std::u16string moduleFileName();
struct FileVersion {
    uint16_t major = 0, minor = 0, release = 0, build = 0;
};
// The fixed version information of a file; of this module when the name is empty. All zero when
// the file has none (natively: the project version for this module, zero for any other file).
FileVersion fileVersion(const std::u16string& fileName = u"");

// ---- Durable data files (the emulator's state and paper tape) ----
// An environment variable's value; empty when it is not set.
std::u16string environmentVariable(const std::u16string& name);
// The current user's local (not roaming) data folder: $XDG_DATA_HOME or ~/.local/share natively,
// %LOCALAPPDATA% on Windows; empty when unknown.
std::u16string localUserDataFolder();
// Replaces the whole file in one step: a temporary file beside it is written, flushed to disk and
// renamed over it, so a crash leaves either the old or the new content. The temporary file is
// made afresh (a stale one or a link planted under its name is removed first, never followed), and
// the rename replaces the name itself. Raises EInOutError.
void writeFileAtomically(const std::u16string& fileName, std::string_view bytes);
// The whole content of a file; nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::u16string& fileName);
// The whole content of a file, telling a missing file from one that cannot be read now (another
// program holds it, no access): Error then carries the system's message. On Windows the read
// shares delete access, so it never keeps a rename over the file from happening.
struct FileRead {
    enum Kind { Missing, Read, Failed } State = Missing;
    std::string Bytes;
    std::u16string Error;
};
FileRead readFile(const std::u16string& fileName);
// True when the name is an existing file (not a folder).
bool fileExists(const std::u16string& fileName);
// Appends the bytes and flushes them to disk before returning. Raises EInOutError.
void appendFileDurably(const std::u16string& fileName, std::string_view bytes);
// Gives a file a new name, replacing a file of that name; false when it cannot be done.
bool renameFile(const std::u16string& from, const std::u16string& to);

// ---- Files of our own in folders others can write ----
// A regular file with no other name, reached without a link: a file of our own. Anything else
// (a symbolic link, a junction or other reparse point, a hard link to a file with further names,
// a folder, a device) is foreign: Found says what it is, for the log.
struct OwnFileCheck {
    enum Kind { Missing, Own, Foreign } State = Missing;
    std::u16string Found;
};
OwnFileCheck checkOwnFile(const std::u16string& fileName);
// Removes the name itself, never what a link points to; false when it cannot be done.
bool removeFileName(const std::u16string& fileName);

// ---- One holder at a time, across objects and processes ----
// An exclusive lock on a file, made when missing and never written (LockFileEx on Windows, flock
// natively); held until the object goes. Two objects of one process exclude each other as two
// processes do.
class FileLock {
public:
    enum class Result { Locked, Busy, Failed };
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();
    // Waits up to waitMs for the lock. Busy: someone held it all that time; Failed: the file
    // cannot be made or locked, and error says why.
    Result Acquire(const std::u16string& fileName, int waitMs, std::u16string& error);
    bool Held() const { return FHandle != -1; }

private:
    intptr_t FHandle = -1;
};

}  // namespace fr::platform
