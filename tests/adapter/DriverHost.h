#pragma once
// A TDriverFR called by name as a host calls it, over a scripted universal driver handed out by
// the creation hook (or, with `installed` false, none at all).
#include <atomic>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "adapter/uDriver.h"
#include "automation/AutomationObject.h"
#include "automation/Text.h"
#include "device/FakeEquipmentManager.h"
#include "support/FakeUniversalDriver.h"

namespace fr::test {

// A folder of its own under the system's temporary folder, removed with everything in it.
struct TempFolder {
    std::filesystem::path path = [] {
        static std::atomic<int> counter{0};
        static const unsigned run = std::random_device{}();
        auto p = std::filesystem::temp_directory_path() /
                 ("fr_adapter_test_" + std::to_string(run) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(p);
        return p;
    }();
    ~TempFolder() {
        std::error_code e;
        std::filesystem::remove_all(path, e);
    }
    std::u16string text() const { return path.u16string() + u"/"; }
};

template <class Driver = TDriverFR>
struct DriverHost {
    std::shared_ptr<FakeUniversalDriver> fake = std::make_shared<FakeUniversalDriver>();
    bool installed = true;
    int creations = 0;  // attempts to create the universal driver
    ScopedOleFactoryHook hook{[this](const std::u16string& progId) -> std::shared_ptr<AutomationObject> {
        if (progId != kUniversalDriverProgID) return nullptr;
        ++creations;
        return installed ? fake : nullptr;
    }};
    std::shared_ptr<Driver> driver = TBaseObject::create<Driver>();
    DispatchObject obj{driver};
    // Its own journal of money operations: each test starts with none.
    TempFolder journal;
    DriverHost() { driver->SetJournalRoot(journal.text()); }
    Variant out;  // OutData of the last public call

    // A public method: the result code (0 when the call's value is true); OutData in `out`.
    int32_t call(const std::u16string& name, const Variant& inData = Variant()) {
        std::vector<Arg> args{Arg(inData), Arg(Variant(), true), Arg(Variant(0))};
        const bool ok = obj.call(name, args).toBool();
        out = args[1].value;
        return ok ? 0 : out.array().at(0).toInt();
    }
    std::string description() const { return u8(out.array().at(1).toText()); }
    std::shared_ptr<FakeEquipmentManager> manager = std::make_shared<FakeEquipmentManager>();

    // Init with the equipment manager, then Open with a device ID; Open's value and description.
    bool open(std::u16string& description, const std::u16string& deviceId = u"dev-1") {
        std::vector<Arg> init{Arg(Variant(std::shared_ptr<AutomationObject>(manager))), Arg(Variant(), true)};
        obj.call(u"Init", init);
        std::vector<Arg> args{Arg(Variant(deviceId)), Arg(Variant(), true)};
        const bool ok = obj.call(u"Open", args).toBool();
        description = args[1].value.toText();
        return ok;
    }
};

inline Variant inData(std::initializer_list<Variant> items) { return Variant(VariantArray::vector(items)); }

// Universal-driver calls as FakeUniversalDriver::sequence() writes them, joined with +.
using Seq = std::vector<std::string>;
inline Seq operator+(Seq a, const Seq& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The register answers: shift 7, last receipt 3, its clock at 09:30:15; read back in this order.
inline void answerFiscalParams(FakeUniversalDriver& fake) {
    fake.values[u"SmenNum"] = Variant(7);
    fake.values[u"LastReceiptNum"] = Variant(3);
    fake.values[u"GetTime"] = Variant(u"093015");
}
inline const Seq kFiscalParams = {"SmenNum()", "LastReceiptNum()", "GetTime()"};
// The counters a money operation reads before it starts (and again when it settles a lost answer).
inline const Seq kCounters = {"SmenNum()", "LastReceiptNum()", "Cash()"};

inline std::string sp(size_t n) { return std::string(n, ' '); }

}  // namespace fr::test
