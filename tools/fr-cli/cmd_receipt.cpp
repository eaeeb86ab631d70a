// fr-cli receipt RECEIPT.json [--dir=FOLDER]: prints a receipt through the driver itself onto the
// emulator and shows what it added to the tape, so a receipt can be seen before a register exists.
//
// The file holds the tables a host hands to PrintReceipt, with names for their columns:
//   {"common":   {"type": 0, "fiscal": true, "total": 120, "cashier": "Иванова",
//                 "header": "line above the goods", "footer": "line above the total"},
//    "items":    [{"name": "Хлеб", "price": 45.5, "quantity": 2, "tax": 1, "taxAmount": 4.14,
//                  "tax2": -1, "tax2Amount": 0, "discount": 0, "discountPercent": 0,
//                  "barcode": "4600000000017", "text": "extra lines\r\nafter the item",
//                  "department": 1}],
//    "payments": [{"type": 0, "amount": 100, "text": "", "name": ""}],
//    "settings": {"PrintBarcode": true, "BarcodeType": 1}}
// Only "items", "payments" and "common" are needed; a missing value is the host's default. A
// discount is positive, a markup negative. The emulator's shift is opened first when it is closed.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CliCommand.h"
#include "adapter/uDriver.h"
#include "automation/Text.h"
#include "uEmuAutomation.h"
#include "uEmuState.h"
#include "uEmuStore.h"

using namespace fr;
using json = nlohmann::ordered_json;

namespace {

namespace fs = std::filesystem;

std::u16string text(const json& o, const char* key) {
    return o.contains(key) && o[key].is_string() ? u16(o[key].get<std::string>()) : std::u16string();
}
Variant money(const json& o, const char* key) {
    const double v = o.contains(key) && o[key].is_number() ? o[key].get<double>() : 0.0;
    return Variant::currency(std::llround(v * 10000));
}
Variant integer(const json& o, const char* key, int32_t def) {
    return Variant(o.contains(key) && o[key].is_number_integer() ? o[key].get<int32_t>() : def);
}

Variant table(const json& rows, uint32_t columns, void (*fill)(const json&, VariantArray&, int32_t)) {
    VariantArray a = VariantArray::matrix(columns, static_cast<uint32_t>(rows.size()));
    for (int32_t r = 0; r < static_cast<int32_t>(rows.size()); ++r) fill(rows[static_cast<size_t>(r)], a, r);
    return Variant(std::move(a));
}

void fillItem(const json& o, VariantArray& a, int32_t r) {
    a.at({0, r}) = Variant(text(o, "name"));
    a.at({1, r}) = Variant(text(o, "barcode"));
    a.at({3, r}) = integer(o, "department", 1);
    a.at({4, r}) = money(o, "price");
    a.at({5, r}) = Variant(o.contains("quantity") && o["quantity"].is_number() ? o["quantity"].get<double>() : 1.0);
    a.at({7, r}) = money(o, "discount");
    a.at({8, r}) = money(o, "discountPercent");
    a.at({9, r}) = Variant::currency(0);
    a.at({10, r}) = integer(o, "tax", -1);
    a.at({11, r}) = money(o, "taxAmount");
    a.at({13, r}) = integer(o, "tax2", -1);
    a.at({14, r}) = money(o, "tax2Amount");
    a.at({17, r}) = Variant(text(o, "text"));
}

void fillPayment(const json& o, VariantArray& a, int32_t r) {
    a.at({0, r}) = integer(o, "type", 0);
    a.at({1, r}) = money(o, "amount");
    a.at({2, r}) = Variant(text(o, "text"));
    a.at({3, r}) = Variant(text(o, "name"));
}

Variant commonParameters(const json& o) {
    VariantArray a = VariantArray::vector(std::vector<Variant>(13));
    a.at(0) = integer(o, "type", 0);
    a.at(1) = Variant(o.contains("fiscal") ? o["fiscal"].get<bool>() : true);
    a.at(3) = Variant::currency(0);
    a.at(4) = money(o, "total");
    a.at(6) = Variant(text(o, "header"));
    a.at(7) = Variant(text(o, "footer"));
    a.at(12) = Variant(text(o, "cashier"));
    return Variant(std::move(a));
}

Variant settingValue(const json& v) {
    if (v.is_boolean()) return Variant(v.get<bool>());
    if (v.is_number_integer()) return Variant(v.get<int32_t>());
    if (v.is_number()) return Variant(v.get<double>());
    return Variant(u16(v.is_string() ? v.get<std::string>() : v.dump()));
}

uintmax_t sizeOf(const fs::path& p) {
    std::error_code ec;
    const uintmax_t n = fs::file_size(p, ec);
    return ec ? 0 : n;
}

// One public method of the driver as a host calls it: true, or false with the error printed.
bool call(DispatchObject& driver, const char16_t* method, const Variant& in, Variant& out) {
    std::vector<Arg> args{Arg(in), Arg(Variant(), true), Arg(Variant(0))};
    const bool ok = driver.call(method, args).toBool();
    out = args[1].value;
    if (!ok)
        std::fprintf(stderr, "%s: ошибка %d: %s\n", u8(method).c_str(), out.array().at(0).toInt(),
                     u8(out.array().at(1).toText()).c_str());
    return ok;
}

}  // namespace

namespace fr::cli {

// Prints the receipt of `receipt` (the file's content) on the emulator in `folder` and writes the
// fiscal result and the tape's new lines to standard output. 0 when the receipt was printed.
int PrintReceiptOnEmulator(const json& receipt, const fs::path& folder) {
    emu::TEmuStore store(folder);
    bool shiftOpen = false;
    int32_t width = emu::kDefaultTapeWidth;
    if (fs::exists(store.statePath())) {
        const emu::TEmuState s = store.load();
        shiftOpen = s.shiftOpen;
        width = s.tapeWidth;
    }
    ScopedOleFactoryHook emulator([&](const std::u16string& progId) -> std::shared_ptr<AutomationObject> {
        if (progId != kUniversalDriverProgID) return nullptr;
        return std::make_shared<DispatchObject>(std::make_shared<emu::TEmuAutomation>(folder));
    });
    auto fr = TBaseObject::create<TDriverFR>();
    DispatchObject driver(fr);
    fr->SetSettingValue(u"ModelIndex", Variant(8));
    fr->SetSettingValue(u"MaxReceiptRowLength", Variant(width));
    if (receipt.contains("settings"))
        for (const auto& [name, value] : receipt["settings"].items()) fr->SetSettingValue(u16(name), settingValue(value));
    fr->LoadDriverSettings();

    Variant out;
    if (!call(driver, u"Enable", Variant(), out)) return 1;
    if (!shiftOpen && !call(driver, u"OpenDay", Variant(), out)) return 1;
    const uintmax_t tapeBefore = sizeOf(store.tapePath());
    const Variant in(VariantArray::vector({table(receipt.value("items", json::array()), kItemColumns, fillItem),
                                           table(receipt.value("payments", json::array()), kPaymentColumns, fillPayment),
                                           commonParameters(receipt.value("common", json::object()))}));
    const bool printed = call(driver, u"PrintReceipt", in, out);
    if (printed)
        std::printf("Смена %d, чек %d\n", out.array().at(0).toInt(), out.array().at(1).toInt());
    // What the receipt (or its cancellation) put on the tape.
    std::ifstream tape(store.tapePath(), std::ios::binary);
    tape.seekg(static_cast<std::streamoff>(tapeBefore));
    std::string added((std::istreambuf_iterator<char>(tape)), std::istreambuf_iterator<char>());
    std::fwrite(added.data(), 1, added.size(), stdout);
    call(driver, u"Disable", Variant(), out);
    return printed ? 0 : 1;
}

}  // namespace fr::cli

namespace {

int Receipt(const std::string& file, const fs::path& folder) {
    std::ifstream in(fs::path(u16(file)), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fr-cli receipt: cannot read %s\n", file.c_str());
        return 1;
    }
    json receipt;
    try {
        receipt = json::parse(in);
    } catch (const json::exception& e) {
        std::fprintf(stderr, "fr-cli receipt: %s: %s\n", file.c_str(), e.what());
        return 1;
    }
    return fr::cli::PrintReceiptOnEmulator(receipt, folder);
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        std::string file;
        std::string dir;
    };
    auto o = std::make_shared<Options>();
    c.add_option("RECEIPT.json", o->file, "the receipt's tables as JSON (see examples/receipt.json)")->required();
    c.add_option("--dir", o->dir, "the emulator's folder (default: FR_EMULATOR_DIR or the user's data folder)");
    fr::cli::setExamples(c, {"fr-cli receipt examples/receipt.json", "fr-cli receipt sale.json --dir=/tmp/till"});
    return [o] { return Receipt(o->file, o->dir.empty() ? emu::defaultEmulatorFolder() : fs::path(u16(o->dir))); };
}

const fr::cli::CliCommandRegistration registration(
    "receipt", "print a receipt given as JSON through the driver on the emulator, show what it added to the tape",
    Setup);

}  // namespace
