#pragma once
// A day's debug log read back: the headers that Enable writes (the device ID and every setting)
// and the calls, each start line paired with the end line of the same driver object, in the
// order the calls started. Several objects may have written the file; their instance IDs tell
// their lines apart.
#include <filesystem>
#include <string>
#include <vector>

namespace fr::replay {

struct LogSetting {
    std::u16string id;
    std::u16string value;  // as rendered
    int line = 0;
};

struct LogEvent {
    enum class Kind { Header, Call };
    Kind kind = Kind::Call;
    int line = 0;               // the first line of the event, from 1
    std::u16string time;        // "yyyy.mm.dd hh:nn:ss.zzz"
    std::u16string instance;    // the driver object's ID
    // Header
    std::u16string deviceId;
    std::vector<LogSetting> settings;
    bool complete = false;      // its closing line was read
    // Call
    std::u16string method;
    bool isPublic = true;       // "InData: " rather than "Params: "
    std::u16string input;       // the rendered InData (or argument array)
    bool ended = false;         // its end line was read
    int endLine = 0;
    std::u16string result;      // the rendered call value
    std::u16string output;      // the rendered OutData (or argument array)
    std::u16string exception;   // the text of an EXCEPTION line that ended it
};

struct DebugLogRead {
    std::vector<LogEvent> events;
    std::vector<std::u16string> notes;  // lines read with a remark or left aside, with their numbers
    std::u16string error;               // when the file is not a debug log: why, with the line number
    int errorLine = 0;
};

DebugLogRead ParseDebugLog(std::string_view bytes);
DebugLogRead ReadDebugLog(const std::filesystem::path& file);

}  // namespace fr::replay
