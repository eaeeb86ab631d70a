// A fiscal receipt of 100 and of 1 000 items printed by PrintReceipt through the driver core:
// once on the in-process emulator (the whole path a host waits for), once on a universal driver
// that answers at once (the driver's own share). The emulator's share is the difference; the time
// per item of the two sizes shows whether a receipt grows linearly with its items.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "CashSale.h"
#include "adapter/uDriver.h"
#include "uEmuAutomation.h"

using namespace fr;

namespace {

// Answers every call at once: 0, no error, shift 1, receipt 1.
class TInstantDriver : public AutomationObject {
public:
    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>&) override {
        if (name == u"GetTime") return Variant(u"120000");
        if (name == u"LastErrorText" || name == u"LastErrorExText") return Variant(u"");
        return Variant(0);
    }
};

Variant receipt(int64_t items) {
    VariantArray goods = VariantArray::matrix(kItemColumns, static_cast<uint32_t>(items));
    for (int32_t r = 0; r < items; ++r) {
        goods.at({0, r}) = Variant(u"Товар номер " + std::u16string(1, static_cast<char16_t>(u'А' + r % 32)));
        goods.at({3, r}) = Variant(1);
        goods.at({4, r}) = Variant::currency(125000);
        goods.at({5, r}) = Variant(1.0);
        goods.at({7, r}) = Variant::currency(r % 5 == 0 ? 10000 : 0);
        goods.at({8, r}) = Variant::currency(0);
        goods.at({9, r}) = Variant::currency(0);
        goods.at({10, r}) = Variant(1);
    }
    const int64_t total = items * 125000 - ((items + 4) / 5) * 10000;
    return bench::CashSale(std::move(goods), total);
}

struct Bench {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "fr_bench_receipt";
    std::unique_ptr<ScopedOleFactoryHook> hook;
    std::shared_ptr<TDriverFR> driver = TBaseObject::create<TDriverFR>();
    std::unique_ptr<DispatchObject> obj;

    explicit Bench(bool emulator) {
        std::filesystem::remove_all(folder);
        hook = std::make_unique<ScopedOleFactoryHook>([this, emulator](const std::u16string&) -> std::shared_ptr<AutomationObject> {
            if (!emulator) return std::make_shared<TInstantDriver>();
            return std::make_shared<DispatchObject>(std::make_shared<emu::TEmuAutomation>(folder));
        });
        obj = std::make_unique<DispatchObject>(driver);
        driver->SetSettingValue(u"ModelIndex", Variant(8));
        driver->LoadDriverSettings();
        call(u"Enable", Variant());
        call(u"OpenDay", Variant());
    }
    ~Bench() {
        obj.reset();
        driver.reset();
        std::filesystem::remove_all(folder);
    }
    bool call(const char16_t* method, const Variant& in) {
        std::vector<Arg> args{Arg(in), Arg(Variant(), true), Arg(Variant(0))};
        return obj->call(method, args).toBool();
    }
};

void run(benchmark::State& state, bool emulator) {
    Bench b(emulator);
    const Variant in = receipt(state.range(0));
    for (auto _ : state)
        if (!b.call(u"PrintReceipt", in)) state.SkipWithError("the receipt was refused");
    // Seconds per item: equal for both sizes when the receipt grows linearly.
    state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_FiscalReceipt_DriverAndEmulator(benchmark::State& state) { run(state, true); }
void BM_FiscalReceipt_DriverOnly(benchmark::State& state) { run(state, false); }

}  // namespace

BENCHMARK(BM_FiscalReceipt_DriverAndEmulator)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiscalReceipt_DriverOnly)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
