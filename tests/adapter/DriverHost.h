#pragma once
// A TDriverFR called by name as a host calls it, over a scripted universal driver handed out by
// the creation hook (or, with `installed` false, none at all).
#include <memory>
#include <string>
#include <vector>

#include "adapter/uDriver.h"
#include "automation/AutomationObject.h"
#include "automation/Text.h"
#include "device/FakeEquipmentManager.h"
#include "support/FakeUniversalDriver.h"

namespace fr::test {

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
    bool open(std::u16string& description) {
        std::vector<Arg> init{Arg(Variant(std::shared_ptr<AutomationObject>(manager))), Arg(Variant(), true)};
        obj.call(u"Init", init);
        std::vector<Arg> args{Arg(Variant(u"dev-1")), Arg(Variant(), true)};
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

inline std::string sp(size_t n) { return std::string(n, ' '); }

}  // namespace fr::test
