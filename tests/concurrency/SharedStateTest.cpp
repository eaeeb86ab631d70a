// What is process-wide (the format settings the first driver object changes, the template
// machinery, the registries behind object creation) used from several threads at once: two threads
// render a template and format numbers and dates while a third creates and destroys driver
// objects. Run under ThreadSanitizer by ./dev tsan; natively it checks the results stay whole.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "adapter/uDriver.h"
#include "automation/DateTime.h"
#include "automation/FormatSettings.h"
#include "automation/NumberText.h"
#include "automation/Text.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateXml.h"

using namespace fr;

namespace {
Variant table(size_t rows) { return Variant(VariantArray({ArrayBound{0, 2}, ArrayBound{0, static_cast<uint32_t>(rows)}})); }

// [section, [[name, value], ...]] rows, as a host hands them to the driver.
Variant slipData() {
    struct Row {
        const char16_t* section;
        std::vector<std::pair<const char16_t*, Variant>> values;
    };
    const std::vector<Row> rows = {
        {u"Header", {{u"Number", Variant(u"000123")}, {u"Seller", Variant(u"Магазин")},
                     {u"Date", Variant::date(encodeDateTime(2026, 12, 9, 14, 30, 0, 0))}}},
        {u"Line", {{u"Name", Variant(u"Хлеб")}, {u"Quantity", Variant(1.5)}, {u"Price", Variant(45.5)},
                   {u"Amount", Variant(68.25)}}},
        {u"Total", {{u"Total", Variant(68.25)}, {u"Cash", Variant(100)}, {u"Change", Variant(31.75)}}},
    };
    Variant data = table(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        const int32_t ri = static_cast<int32_t>(r);
        data.array().at({0, ri}) = Variant(rows[r].section);
        Variant values = table(rows[r].values.size());
        for (size_t k = 0; k < rows[r].values.size(); ++k) {
            const int32_t ki = static_cast<int32_t>(k);
            values.array().at({0, ki}) = Variant(rows[r].values[k].first);
            values.array().at({1, ki}) = rows[r].values[k].second;
        }
        data.array().at({1, ri}) = values;
    }
    return data;
}

// One round of what a host's print job does with the process formats, read once for the job.
std::u16string printJob(const Variant& sections, const Variant& data) {
    const TFormatSettings& fs = processFormatSettings();
    std::u16string out = templates::GetTemplateText(sections, data, 40, {}, fs);
    out += floatToText(1234.5678, fs);
    out += dateTimeToText(encodeDateTime(2026, 12, 9, 14, 30, 5, 0), fs);
    out += Variant(0.25).toText(fs);
    out += Variant::date(46000.5).toText(fs);
    return out;
}
}  // namespace

TEST(SharedState, PrintJobsRunWhileDriverObjectsComeAndGo) {
    int32_t number = -1;
    std::u16string description;
    const Variant loaded = templates::LoadTemplateFromXml(u16(FR_EXAMPLES_DIR "/goods-slip.xml"), number, description);
    ASSERT_TRUE(loaded.isArray());
    const Variant sections = loaded.array().at(2);
    const Variant data = slipData();

    std::atomic<int> objects{0};
    std::atomic<bool> failed{false};
    // Nothing leaves a thread by an exception: it is noted and the test fails.
    const auto guarded = [&failed](auto body) {
        return [&failed, body] {
            try {
                body();
            } catch (...) {
                failed = true;
            }
        };
    };
    // The first driver object changes the process formats once, so a job sees the formats of
    // before or of after that, and nothing else.
    std::set<std::u16string> seen1, seen2;
    const auto printer = [&](std::set<std::u16string>& seen) {
        return guarded([&] {
            for (int i = 0; i < 30 || objects.load() < 2; ++i) seen.insert(printJob(sections, data));
        });
    };
    std::thread a(printer(seen1)), b(printer(seen2));
    std::thread c(guarded([&] {
        while (objects.load() < 20 && !failed.load()) {
            auto driver = TBaseObject::create<TDriverFR>();
            int32_t id = -1;
            driver->getIDsOfNames(u"GetDeviceInfo", id);
            std::vector<Variant> args{Variant(), Variant(), Variant(0)};
            Variant result;
            ExcepInfo e;
            driver->invoke(id, kDISPATCH_METHOD, args, result, e);
            ++objects;
        }
    }));
    c.join();
    a.join();
    b.join();
    ASSERT_FALSE(failed.load());

    const std::u16string after = printJob(sections, data);
    for (const auto* seen : {&seen1, &seen2}) {
        EXPECT_LE(seen->size(), 2u);
        EXPECT_TRUE(seen->contains(after)) << "a job after the first object sees the formats it set";
    }
    EXPECT_NE(after.find(u"ТОВАРНЫЙ ЧЕК"), std::u16string::npos);
}
