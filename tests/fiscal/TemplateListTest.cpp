// Stored templates: one list per process, keyed by number and device ID, and documents printed
// from them by the fiscal base.
#include <gtest/gtest.h>

#include <thread>

#include "../templates/TemplateBuilder.h"
#include "dispatch/uEquipmentErrors.h"
#include "fiscal/uBaseFR.h"
#include "fiscal/uTemplateList.h"

using namespace fr;
using namespace fr::templates::test;

namespace {

// A fiscal base with a device ID of the test's choosing that keeps what it was asked to print.
class TTemplateFR : public TBaseFR {
public:
    std::u16string printed;
    int32_t printedDestination = -1;
    void SetDeviceID(const std::u16string& id) { FDeviceID = id; }
    int32_t PrintText(const std::u16string& text, bool, int32_t dest, std::u16string&) override {
        printed = text;
        printedDestination = dest;
        return 0;
    }
};

std::shared_ptr<TTemplateFR> driver(const std::u16string& deviceID) {
    auto d = TBaseObject::create<TTemplateFR>();
    d->SetDeviceID(deviceID);
    return d;
}

Variant oneLine(const std::u16string& param) {
    return sections({S{u"Шапка", {CS{.columns = {CF{.resizable = true, .length = 5, .fields = {F{.name = param}}}}}}}});
}

}  // namespace

TEST(TemplateList, StoredPerNumberAndDeviceIDIgnoringCase) {
    std::u16string d;
    const int32_t before = TTemplateList::Instance().Count();
    auto a = driver(u"Касса-A"), upper = driver(u"КАССА-a"), b = driver(u"Касса-B"), twin = driver(u"касса-a");
    ASSERT_EQ(a->UploadTemplate(5, u"первый", oneLine(u"X"), d), 0);
    ASSERT_EQ(upper->UploadTemplate(5, u"второй", oneLine(u"Y"), d), 0);
    EXPECT_EQ(TTemplateList::Instance().Count(), before + 1);  // replaced in place

    // Any object with an equal device ID sees it, exactly as uploaded last; another ID does not.
    std::u16string description;
    Variant got;
    ASSERT_EQ(twin->DownloadTemplate(5, description, got, d), 0);
    EXPECT_EQ(description, u"второй");
    EXPECT_EQ(got, oneLine(u"Y"));
    EXPECT_EQ(b->DownloadTemplate(5, description, got, d), rcTemplateNotFound);
    EXPECT_TRUE(got.isEmpty());
    EXPECT_TRUE(description.empty());
    EXPECT_EQ(a->DownloadTemplate(6, description, got, d), rcTemplateNotFound);

    // Number 0 is the built-in template, which this module does not carry, even when uploaded.
    ASSERT_EQ(a->UploadTemplate(0, u"ноль", oneLine(u"X"), d), 0);
    EXPECT_EQ(a->DownloadTemplate(0, description, got, d), rcTemplateNotFound);
    // Something stored that is not an array is no template.
    ASSERT_EQ(StoreTemplate(7, u"не массив", Variant(u"x"), u"Касса-A"), 0);
    EXPECT_EQ(a->DownloadTemplate(7, description, got, d), rcTemplateNotFound);
}

TEST(TemplateList, DriverObjectsOnTwoThreadsStoreAndFindAtOnce) {
    constexpr int kEach = 300;
    const int32_t before = TTemplateList::Instance().Count();
    auto work = [](std::u16string id, int32_t first) {
        auto d = driver(id);
        std::u16string text;
        for (int32_t n = first; n < first + kEach; ++n) {
            d->UploadTemplate(n, u"t", oneLine(u"X"), text);
            Variant got;
            std::u16string description;
            if (d->DownloadTemplate(n, description, got, text) != 0) ADD_FAILURE() << "lost " << n;
        }
    };
    std::thread t1(work, u"поток-1", 1000), t2(work, u"поток-2", 1000);
    t1.join();
    t2.join();
    EXPECT_EQ(TTemplateList::Instance().Count(), before + 2 * kEach);
}

TEST(TemplateList, DocumentLaidOutInTheDestinationsWidth) {
    auto fr = driver(u"печать");
    fr->SetSettingValue(u"MaxReceiptRowLength", Variant(24));
    fr->SetSettingValue(u"MaxSlipRowLength", Variant(32));
    std::u16string d;
    ASSERT_EQ(fr->UploadTemplate(9, u"", oneLine(u"Сумма"), d), 0);
    const Variant values = data({{u"ШАПКА", {{u"СУММА", Variant(u"12,50")}}}});
    struct Case {
        int32_t destination;
        size_t width;
    };
    for (const Case c : {Case{0, 24}, Case{1, 32}, Case{2, 24}}) {
        ASSERT_EQ(fr->PrintTemplateDocument(values, 9, c.destination, false, d), 0) << c.destination;
        EXPECT_EQ(fr->printed, u"12,50" + std::u16string(c.width - 5, u' ') + u"\r\n") << c.destination;
        EXPECT_EQ(fr->printedDestination, c.destination);
    }
    fr->printed.clear();
    EXPECT_EQ(fr->PrintTemplateDocument(values, 10, 0, false, d), rcTemplateNotFound);
    EXPECT_TRUE(d.empty());
    EXPECT_TRUE(fr->printed.empty());
}
