#include "dispatch/uDebugLog.h"

#include <mutex>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "dispatch/uLogWriteWait.h"
#include "platform/Platform.h"

namespace fr {

namespace {
std::u16string moduleBaseName() {
    std::u16string path = platform::moduleFileName();
    size_t slash = path.find_last_of(u"\\/");
    std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(u'.');
    return dot == std::u16string::npos ? name : name.substr(0, dot);
}

const TFormatSettings& logFormat() {
    // The log's own fixed format: the colon is this driver's time separator.
    static const TFormatSettings fs = [] {
        TFormatSettings f = TFormatSettings::russian();
        f.TimeSeparator = u':';
        return f;
    }();
    return fs;
}
}  // namespace

std::u16string GetCommonLogFolder() {
    // Made and opened to everyone once, and made again when it has gone (deleted while the host
    // runs): its lines would be lost until the host restarts otherwise.
    static std::mutex lock;
    static std::u16string ready;
    std::lock_guard g(lock);
    if (!ready.empty() && platform::directoryExists(ready)) return ready;
    std::u16string base = platform::commonAppDataFolder();
    if (base.empty()) base = platform::userAppDataFolder();
    std::u16string folder = platform::includeTrailingPathDelimiter(
        platform::includeTrailingPathDelimiter(base) + moduleBaseName());
    if (!platform::forceDirectories(folder)) throw EInOutError(u"Не удалось создать папку " + folder);
    platform::grantEveryoneFullAccess(folder);
    ready = folder;
    return folder;
}

std::u16string DebugLogFileName(const std::u16string& folder, double now) {
    return folder + u"Debug_" + formatDateTime(u"yyyy.mm.dd", now, logFormat()) + u".log";
}

std::u16string FormatDebugLogLine(double now, const std::u16string& instanceId, const std::u16string& caption,
                                  const std::u16string& text, bool raw) {
    std::u16string line = formatDateTime(u"yyyy.mm.dd hh:nn:ss.zzz", now, logFormat());
    line += u" Inst.: ";
    line += instanceId;
    line += u'\t';
    line += caption;
    if (!raw) {
        line += u": \t";
        line += text;
    }
    return line;
}

bool WriteDebugLogLine(const std::u16string& logDir, const std::u16string& instanceId, const std::u16string& caption,
                       const std::u16string& text, bool raw, LogFolderSource fallback) {
    try {
        std::u16string folder = !logDir.empty() && platform::directoryExists(logDir)
                                    ? platform::includeTrailingPathDelimiter(logDir)
                                    : fallback();
        double now = platform::nowLocal();
        const std::u16string file = DebugLogFileName(folder, now);
        const std::u16string line = FormatDebugLogLine(now, instanceId, caption, text, raw);
        // One wait policy for the process: a burst from any object backs off together. Writers
        // of this process take turns here rather than at the file (a turn is one open, append and
        // close), so only other processes and log viewers can find it busy.
        static TLogWriteWait wait;
        static std::mutex turn;
        // A link or a second name planted under the day's file name would carry our lines into
        // another file: the name is removed and the fresh file begins by saying so.
        const platform::FreshFileNote note = [&](const std::u16string& found) {
            return FormatDebugLogLine(now, instanceId, u"Отладочный лог",
                                      u"под именем файла лога было другое (" + found +
                                          u"): это имя удалено, тот файл не тронут, начат новый файл",
                                      false);
        };
        return wait.write([&] {
            std::lock_guard g(turn);
            return platform::tryAppendLine(file, line, note);
        });
    } catch (...) {
        return false;
    }
}

}  // namespace fr
