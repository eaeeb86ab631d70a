// One public call (GetDeviceInfo) through the method table with the debug log off and on; the
// ratio is what switching the log on costs a host.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "adapter/uDriver.h"
#include "platform/Platform.h"

using namespace fr;

namespace {
// Opened on a device folder of the benchmark's own, without a host.
class TBenchDriver : public TDriverFR {
public:
    void SetDeviceFolder(const std::u16string& folder) { FDeviceFolder = folder; }

protected:
    // No register here: Enable only switches the log on; what is measured is the call path.
    int32_t DoEnable(std::u16string&) override { return 0; }
};

struct Driver {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "fr_bench_log";
    std::shared_ptr<TBenchDriver> driver = TBaseObject::create<TBenchDriver>();
    int32_t id = -1;
    explicit Driver(bool logOn) {
        std::filesystem::create_directories(dir);
        driver->getIDsOfNames(u"GetDeviceInfo", id);
        if (logOn) {
            driver->SetDeviceFolder(platform::includeTrailingPathDelimiter(dir.u16string()));
            driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
            driver->Enable();
        }
    }
    ~Driver() { std::filesystem::remove_all(dir); }
    void call() {
        std::vector<Variant> args{Variant(), Variant(), Variant(0)};
        Variant result;
        ExcepInfo e;
        driver->invoke(id, kDISPATCH_METHOD, args, result, e);
    }
};

void BM_PublicCall_LogOff(benchmark::State& state) {
    Driver d(false);
    for (auto _ : state) d.call();
}
void BM_PublicCall_LogOn(benchmark::State& state) {
    Driver d(true);
    for (auto _ : state) d.call();
}
BENCHMARK(BM_PublicCall_LogOff);
BENCHMARK(BM_PublicCall_LogOn);

double secondsPerCall(bool logOn, int calls) {
    Driver d(logOn);
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) d.call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / calls;
}
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    double off = secondsPerCall(false, 20000), on = secondsPerCall(true, 20000);
    std::printf("public call with the debug log on / off: %.1f (%.2f us / %.2f us)\n", on / off, on * 1e6, off * 1e6);
    benchmark::Shutdown();
    return 0;
}
