#include "automation/FormatSettings.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Platform.h"

namespace fr {

TFormatSettings TFormatSettings::russian() {
    TFormatSettings fs;
    fs.ShortMonthNames = {u"янв", u"фев", u"мар", u"апр", u"май", u"июн", u"июл", u"авг", u"сен", u"окт", u"ноя", u"дек"};
    fs.LongMonthNames = {u"Январь", u"Февраль", u"Март", u"Апрель", u"Май", u"Июнь",
                         u"Июль", u"Август", u"Сентябрь", u"Октябрь", u"Ноябрь", u"Декабрь"};
    fs.ShortDayNames = {u"Вс", u"Пн", u"Вт", u"Ср", u"Чт", u"Пт", u"Сб"};
    fs.LongDayNames = {u"воскресенье", u"понедельник", u"вторник", u"среда", u"четверг", u"пятница", u"суббота"};
    return fs;
}

TFormatSettings TFormatSettings::invariant() {
    TFormatSettings fs = russian();
    fs.DecimalSeparator = u'.';
    fs.ThousandSeparator = u',';
    return fs;
}

namespace {
// Every published value is kept alive for the life of the process, so a reader holding a
// reference is never left dangling; the value changes at most a few times.
std::mutex gWriteLock;
std::vector<std::unique_ptr<TFormatSettings>>& published() {
    static std::vector<std::unique_ptr<TFormatSettings>> values;
    return values;
}
std::atomic<const TFormatSettings*> gCurrent{nullptr};
}  // namespace

const TFormatSettings& processFormatSettings() {
    if (const TFormatSettings* p = gCurrent.load(std::memory_order_acquire)) return *p;
    std::lock_guard lock(gWriteLock);
    if (const TFormatSettings* p = gCurrent.load(std::memory_order_acquire)) return *p;
    published().push_back(std::make_unique<TFormatSettings>(platform::userFormatSettings()));
    gCurrent.store(published().back().get(), std::memory_order_release);
    return *published().back();
}

void setProcessFormatSettings(const TFormatSettings& fs) {
    std::lock_guard lock(gWriteLock);
    published().push_back(std::make_unique<TFormatSettings>(fs));
    gCurrent.store(published().back().get(), std::memory_order_release);
}

}  // namespace fr
