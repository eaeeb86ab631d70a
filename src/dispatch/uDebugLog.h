#pragma once
// The per-day debug log file: one line per event, several driver objects may share a file.
#include <string>

namespace fr {

// The all-users application-data folder + the module's name + a delimiter; created and opened to
// Everyone, and made again when it has gone since. Raises when a system call fails.
std::u16string GetCommonLogFolder();

// Folder + "Debug_yyyy.mm.dd.log" for the given local time.
std::u16string DebugLogFileName(const std::u16string& folder, double now);

// Timestamp, " Inst.: ", instance ID, a tab, the caption and, unless raw, ": ", a tab and the text.
std::u16string FormatDebugLogLine(double now, const std::u16string& instanceId, const std::u16string& caption,
                                  const std::u16string& text, bool raw);

// Where lines go when the device has no folder of its own; asked for only then.
using LogFolderSource = std::u16string (*)();

// Writes one line into the log of logDir (or of the fallback folder, normally the common one,
// when logDir is empty or not an existing folder). Never raises: a line that cannot be written
// is dropped, so logging never changes the outcome of the call it traces. Returns false when the
// line was dropped. A line waits a few tens of milliseconds at most for a file another writer
// holds (see TLogWriteWait).
bool WriteDebugLogLine(const std::u16string& logDir, const std::u16string& instanceId, const std::u16string& caption,
                       const std::u16string& text, bool raw, LogFolderSource fallback = GetCommonLogFolder);

}  // namespace fr
