// A goods table of N rows laid out in 48-character lines, against the time the same text takes to
// reach the printer over a serial line at 115 200 baud (10 bits a byte).
//
// Counters: "serial_s" is the line's time for one document, "pct_of_serial" the rendering time as
// a percentage of it (aim: below 0.1). Rows 1 000 and 10 000 show how the time grows.
#include <benchmark/benchmark.h>

#include "automation/Text.h"
#include "templates/uTemplateObj.h"

using namespace fr;
using namespace fr::templates;

namespace {

VariantArray table(uint32_t columns, uint32_t rows) { return VariantArray({ArrayBound{0, columns}, ArrayBound{0, rows}}); }

Variant field(const std::u16string& name, int type, const std::u16string& format) {
    VariantArray f = table(9, 1);
    const Variant cells[] = {Variant(name), Variant(false), Variant(false), Variant(type), Variant(format),
                             Variant(true), Variant(u""), Variant(u""), Variant(u"")};
    for (int c = 0; c < 9; ++c) f.at({c, 0}) = cells[c];
    return Variant(std::move(f));
}

// One line: name (resizable), quantity, price and amount right-aligned.
Variant goodsTemplate() {
    struct Col {
        bool resizable;
        int length, halign;
        Variant fields;
    };
    const Col cols[] = {{true, 1, 0, field(u"Name", 0, u"")},
                        {false, 8, 1, field(u"Qty", 1, u"ЧДЦ=3")},
                        {false, 10, 1, field(u"Price", 1, u"ЧДЦ=2")},
                        {false, 10, 1, field(u"Amount", 1, u"EXPR=V*1;ЧЦ=10;ЧДЦ=2")}};
    VariantArray cf = table(13, 4);
    for (int i = 0; i < 4; ++i) {
        const Variant cells[] = {Variant(false), Variant(cols[i].resizable), Variant(cols[i].length), Variant(cols[i].halign),
                                 Variant(0), Variant(1), Variant(0), Variant(false), Variant(false), Variant(false),
                                 Variant(false), cols[i].fields, Variant(0)};
        for (int c = 0; c < 13; ++c) cf.at({c, i}) = cells[c];
    }
    VariantArray cs = table(5, 1);
    const Variant line[] = {Variant(false), Variant(1), Variant(1), Variant(std::move(cf)), Variant(false)};
    for (int c = 0; c < 5; ++c) cs.at({c, 0}) = line[c];
    VariantArray s = table(4, 1);
    s.at({0, 0}) = Variant(u"Line");
    s.at({1, 0}) = Variant(false);
    s.at({2, 0}) = Variant(false);
    s.at({3, 0}) = Variant(std::move(cs));
    return Variant(std::move(s));
}

Variant goodsData(int rows) {
    VariantArray d = table(2, static_cast<uint32_t>(rows));
    for (int r = 0; r < rows; ++r) {
        VariantArray p = table(2, 4);
        const std::u16string name = u"Товар номер " + u16(std::to_string(r));
        const double qty = 1 + r % 7, price = 10.5 + r % 100;
        const Variant values[][2] = {{Variant(u"Name"), Variant(name)},
                                     {Variant(u"Qty"), Variant(qty)},
                                     {Variant(u"Price"), Variant(price)},
                                     {Variant(u"Amount"), Variant(qty * price)}};
        for (int k = 0; k < 4; ++k) {
            p.at({0, k}) = values[k][0];
            p.at({1, k}) = values[k][1];
        }
        d.at({0, r}) = Variant(u"Line");
        d.at({1, r}) = Variant(std::move(p));
    }
    return Variant(std::move(d));
}

void BM_RenderGoodsTable(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const Variant tmpl = goodsTemplate();
    const Variant data = goodsData(rows);
    const TFormatSettings fs = TFormatSettings::russian();
    size_t chars = 0;
    for (auto _ : state) {
        const std::u16string text = GetTemplateText(tmpl, data, 48, {}, fs);
        chars = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    // One character is one byte on the wire (the printer's code page), 10 bits with start and stop.
    const double serialSeconds = static_cast<double>(chars) * 10.0 / 115200.0;
    state.counters["bytes"] = static_cast<double>(chars);
    state.counters["serial_s"] = serialSeconds;
    state.counters["pct_of_serial"] = benchmark::Counter(
        serialSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RenderGoodsTable)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
