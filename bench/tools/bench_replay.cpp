// fr-cli replay over a busy day's debug log: 2 000 fiscal receipts of three goods each, written as
// the driver writes them, read back and replayed through the driver on the in-process emulator.
// The whole replay is one iteration; the counters give receipts a second. The emulator flushes its
// state to disk at every step (about six a receipt), so the folder's disk sets the pace: the
// replay is run once in the temporary folder and once, where there is one, on a RAM disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "CashSale.h"
#include "adapter/uDriver.h"
#include "automation/Text.h"
#include "dispatch/uLogText.h"
#include "replay/LogReplay.h"

using namespace fr;

namespace {

constexpr int kReceipts = 2000;
const std::u16string kInstance = u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}";

Variant receipt(int n) {
    VariantArray goods = VariantArray::matrix(kItemColumns, 3);
    const char16_t* names[] = {u"Молоко 'Домик'; 1 л", u"Хлеб", u"Гвозди"};
    for (int32_t r = 0; r < 3; ++r) {
        goods.at({0, r}) = Variant(std::u16string(names[r]));
        goods.at({1, r}) = Variant(u"");
        goods.at({3, r}) = Variant(1);
        goods.at({4, r}) = Variant::currency(899000 + 10000 * (n % 7));
        goods.at({5, r}) = Variant(1.0 + r);
        goods.at({7, r}) = Variant::currency(0);
        goods.at({8, r}) = Variant::currency(0);
        goods.at({9, r}) = Variant::currency(0);
        goods.at({10, r}) = Variant(1);
    }
    const int64_t total = 6 * (899000 + 10000 * (n % 7));
    return bench::CashSale(std::move(goods), total);
}

// The day's log: the header, the shift opened, the receipts, each start and end line.
std::string dayLog() {
    SetDriverProcessFormats();  // the driver's formats render the values
    std::u16string log;
    int ms = 0;
    auto line = [&](const std::u16string& caption, const std::u16string* text) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2026.12.09 %02d:%02d:%02d.%03d", 8 + ms / 3600000, ms / 60000 % 60,
                      ms / 1000 % 60, ms % 1000);
        ms += 7;
        log += utf8ToUtf16(stamp) + u" Inst.: " + kInstance + u"\t" + caption;
        if (text) log += u": \t" + *text;
        log += u"\r\n";
    };
    auto text = [&](const std::u16string& caption, const std::u16string& t) { line(caption, &t); };
    line(u"============Begin debug log=============", nullptr);
    text(u"device ID", u"kassa-1");
    line(u"----------------Settings----------------", nullptr);
    text(u"ModelIndex", u"8");
    line(u"----------------------------------------", nullptr);
    text(u"> OpenDay", u"InData: EMPTY");
    text(u"< OpenDay", u"Result=True; OutData: [(1; 0; -1; 2026 12 09 08 00 00)]");
    for (int n = 0; n < kReceipts; ++n) {
        text(u"> PrintReceipt", u"InData: " + VariantToLogText(receipt(n)));
        text(u"< PrintReceipt", u"Result=True; OutData: [(1; " + utf8ToUtf16(std::to_string(n + 1)) +
                                    u"; -1; 2026 12 09 08 00 00)]");
    }
    return utf16ToUtf8(log);
}

void BM_ReplayDay(benchmark::State& state) {
    const std::string bytes = dayLog();
    const std::filesystem::path base = state.range(0) ? "/dev/shm" : std::filesystem::temp_directory_path();
    if (!std::filesystem::is_directory(base)) {
        state.SkipWithError("no RAM disk at /dev/shm");
        for (auto _ : state) {
        }
        return;
    }
    const auto folder = base / "fr_bench_replay";
    replay::ReplaySummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        state.ResumeTiming();
        replay::ReplayOptions o;
        o.folder = folder;
        std::ostringstream out;
        summary = replay::RunReplay(replay::ParseDebugLog(bytes), o, out);
    }
    std::filesystem::remove_all(folder);
    if (summary.matched != kReceipts + 1) state.SkipWithError("not every call matched");
    state.counters["receipts/s"] = benchmark::Counter(kReceipts, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["log MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_ReplayDay)->ArgName("ramdisk")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
