// Every fiscal method of the driver called by name, as a host calls it, with arbitrary InData
// (tables of any shape and element types, and tables shaped as the methods expect with cells of
// any type) over the in-process emulator, with faults the input chooses on the calls that move
// money or tell the driver how much moved, so that the driver's settling of lost and failed
// answers is driven too. Every call must end in True or in False with a result code and its text:
// nothing may escape, crash or hang. The emulator keeps its folder in memory; the driver's money
// journal lives in a folder under /dev/shm (else the temporary folder), made afresh every few
// thousand inputs together with the emulator's device, so both stay small.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adapter/uDriver.h"
#include "automation/AutomationObject.h"
#include "dispatch/uCOMSupport.h"
#include "support/FuzzVariant.h"
#include "uEmuAutomation.h"
#include "uEmuFiles.h"
#include "uEmuStore.h"

namespace {

using namespace fr;
using namespace fr::fuzz;
namespace fs = std::filesystem;

const char16_t* const kMethods[] = {
    u"OpenDay", u"PrintReceipt", u"Encash", u"PrintXReport", u"PrintExtReport", u"PrintZReport",
    u"PrintTemplateDocument", u"GetCountersInfo", u"GetLastDocInfo", u"OpenDrawer", u"GetFPStateInfo",
    u"GetDateTime", u"SetDateTime", u"PrintText", u"UploadTemplate", u"DownloadTemplate", u"PrintEGAISSubReport",
    u"PrintSettlementsCurrentStatus", u"CheckUnsentDocuments", u"PrintDocumentCopy", u"PrintCorrectionReceipt",
};

fs::path gFolder;
fs::path emulatorFolder() { return gFolder / "emulator"; }

void freshFolder() {
    emu::TEmuStore(emulatorFolder()).reset();
    std::error_code e;
    fs::remove_all(gFolder / "journal", e);
}

// Up to three rules of the faults file, none in most inputs. A "hang" would stop the fuzzer.
std::string faultRules(FuzzedDataProvider& in) {
    static const char* const kKinds[] = {"fail", "after", "raise", "lost", "down"};
    static const char* const kCalls[] = {
        "endFiscalReceipt", "printRecCash", "printRecVoid", "beginFiscalReceipt", "SmenNum", "LastReceiptNum",
        "Cash", "printRecTotal", "printRecItem", "printNullReceipt", "printZReport", "SN",
    };
    static const int32_t kCodes[] = {1, 3001, 3002, 20, 21, 22, 23, 25, 44};
    const int count = std::max(0, in.ConsumeIntegralInRange<int>(0, 7) - 4);
    std::string rules;
    for (int i = 0; i < count; ++i) {
        const std::string kind = kKinds[in.ConsumeIntegralInRange<size_t>(0, std::size(kKinds) - 1)];
        rules += kind + " " + kCalls[in.ConsumeIntegralInRange<size_t>(0, std::size(kCalls) - 1)] + " " +
                 (in.ConsumeBool() ? std::string("*") : std::to_string(in.ConsumeIntegralInRange<int>(1, 4)));
        if (kind == "fail" || kind == "after")
            rules += " " + std::to_string(kCodes[in.ConsumeIntegralInRange<size_t>(0, std::size(kCodes) - 1)]);
        rules += "\n";
    }
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0) rules += "paper-out\n";
    return rules;
}

// A table as the receipt methods read them: columns by rows, each cell of any type, now and then
// a sensible one so the calls get past the checks.
Variant table(FuzzedDataProvider& in, uint32_t columns) {
    const uint32_t cols = in.ConsumeBool() ? columns : in.ConsumeIntegralInRange<uint32_t>(0, columns + 2);
    const uint32_t rows = in.ConsumeIntegralInRange<uint32_t>(0, 3);
    VariantArray a = VariantArray::matrix(cols, rows);
    for (Variant& cell : a.items()) {
        switch (in.ConsumeIntegralInRange<int>(0, 3)) {
            case 0: cell = Variant(in.ConsumeIntegralInRange<int32_t>(-2, 5)); break;
            case 1: cell = Variant::currency(in.ConsumeIntegralInRange<int64_t>(-100000, 10000000)); break;
            case 2: cell = Variant(in.ConsumeBool()); break;
            default: cell = makeValue(in, 2); break;
        }
    }
    return Variant(std::move(a));
}

Variant shapedInData(FuzzedDataProvider& in, const std::u16string& method) {
    if (method == u"PrintReceipt") {
        VariantArray common = VariantArray::vector({Variant(in.ConsumeIntegralInRange<int32_t>(-1, 2)),
                                                    Variant(in.ConsumeBool())});
        std::vector<Variant> c = common.items();
        c.resize(in.ConsumeIntegralInRange<size_t>(0, 23));
        for (size_t i = 2; i < c.size(); ++i)
            if (in.ConsumeBool()) c[i] = makeValue(in, 2);
        return Variant(VariantArray::vector({table(in, 19), table(in, 4), Variant(VariantArray::vector(c))}));
    }
    std::vector<Variant> items(in.ConsumeIntegralInRange<size_t>(0, 6));
    for (Variant& v : items) v = in.ConsumeBool() ? makeScalar(in, VarType::I4) : makeValue(in, 1);
    return Variant(VariantArray::vector(items));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Writing, flushing and parsing the emulator's state at every step took nearly all the time;
    // the journal's flushes cost little on a memory file system.
    emu::files::keepInMemory();
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    gFolder = base / ("fr_fuzz_fiscal_" + std::to_string(getpid()));
    std::atexit([] {
        std::error_code e;
        fs::remove_all(gFolder, e);
    });
    setenv("FR_EMULATOR_DIR", emulatorFolder().c_str(), 1);
    emu::registerEmulatorClass();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int inputs = 0;
    if (++inputs % 5000 == 0) freshFolder();
    FuzzedDataProvider in(data, size);
    emu::files::replace(emulatorFolder() / "faults.txt", faultRules(in));
    auto driver = TBaseObject::create<TDriverFR>();
    driver->SetJournalRoot((gFolder / "journal").u16string() + u"/");
    driver->SetSettingValue(u"ModelIndex", Variant(8));  // the emulator
    driver->SetSettingValue(u"MaxReceiptRowLength", Variant(in.ConsumeIntegralInRange<int32_t>(0, 300)));
    driver->LoadDriverSettings();
    DispatchObject obj{driver};
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0) {
        std::vector<Arg> none{Arg(Variant()), Arg(Variant(), true), Arg(Variant(0))};
        obj.call(u"Enable", none);  // connects to the emulator, mostly
    }
    const int calls = in.ConsumeIntegralInRange<int>(1, 4);
    for (int k = 0; k < calls && in.remaining_bytes(); ++k) {
        const std::u16string method = kMethods[in.ConsumeIntegralInRange<size_t>(0, std::size(kMethods) - 1)];
        const Variant inData = in.ConsumeBool() ? shapedInData(in, method) : makeValue(in, 0);
        std::vector<Arg> args{Arg(inData), Arg(Variant(), true), Arg(Variant(in.ConsumeIntegral<int32_t>()))};
        Variant result;
        try {
            result = obj.call(method, args);
        } catch (...) {
            __builtin_trap();  // an error escaped the method
        }
        if (result.type() != VarType::Bool) __builtin_trap();
        if (!result.rawBool()) {
            const Variant& out = args[1].value;
            if (!out.isArray() || out.array().size() != 2 || !out.array().at(0).isInteger() ||
                out.array().at(0).rawInt() == 0 || !out.array().at(1).isText() || out.array().at(1).rawText().empty())
                __builtin_trap();  // False without a result code and its text
        }
    }
    return 0;
}
