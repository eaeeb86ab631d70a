// fr-cli emulator status|reset|width N [--dir=FOLDER]: the emulator's saved state, a new device,
// or the width of its paper tape.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "automation/Text.h"
#include "uEmuAutomation.h"
#include "uEmuClock.h"
#include "uEmuErrors.h"
#include "uEmuLayout.h"
#include "uEmuMoney.h"
#include "uEmuStore.h"

namespace {

namespace fs = std::filesystem;
using namespace fr::emu;

// Labels padded by characters, not bytes: they are Russian.
void row(const char* label, const std::u16string& value) {
    std::u16string l = fr::u16(label);
    if (l.size() < 22) l.append(22 - l.size(), u' ');
    std::printf("%s %s\n", fr::u8(l).c_str(), fr::u8(value).c_str());
}

// What the register holds open: a program that died may have left it so.
std::u16string openDocumentText(const TEmuOpenDocument& d) {
    if (d.receipt) {
        const TEmuReceipt& r = *d.receipt;
        std::u16string t = r.type == 0 ? u"чек прихода" : u"чек возврата прихода";
        if (!r.cashier.empty()) t += u" (кассир " + r.cashier + u")";
        t += u", строк: " + num(static_cast<long long>(r.lines.size())) + u", сумма " + moneyText(r.total());
        if (!r.payments.empty()) t += u", оплачено " + moneyText(r.paid());
        return t;
    }
    if (d.nonFiscal) return u"нефискальный документ, строк: " + num(static_cast<long long>(d.nonFiscal->size()));
    return u"нет";
}

int Status(const fs::path& folder) {
    TEmuStore store(folder);
    row("Папка эмулятора:", folder.u16string());
    if (!fs::exists(store.statePath())) {
        std::printf("ККТ ещё не создана: состояние появится при первом вызове start.\n");
        return 0;
    }
    TEmuState s;
    try {
        s = store.load();
    } catch (const EEmuError& e) {
        std::fprintf(stderr, "%s\n", fr::u8(e.extended().empty() ? e.message() : e.extended()).c_str());
        return 1;
    }
    const double now = emuComputerNow() + s.clockOffset;
    row("Заводской номер:", s.serialNumber);
    if (s.shiftOpen) {
        std::u16string shift = num(s.shiftNumber) + u", открыта " + tapeDateTime(s.shiftOpenedAt);
        if (now - s.shiftOpenedAt >= 1.0) shift += u" (больше 24 часов: нужен Z-отчёт)";
        row("Смена:", shift);
    } else {
        row("Смена:", s.shiftNumber == 0 ? std::u16string(u"ещё не открывалась") : num(s.shiftNumber) + u", закрыта");
    }
    row("Последний чек смены:", num(s.receiptNumber));
    row("Открытый документ:", openDocumentText(s.open));
    row("Последний документ:", num(s.documentNumber));
    row("Наличных в кассе:", moneyText(s.cash));
    row("Приход за смену:", num(s.shift.salesCount) + u" чек(ов), " + moneyText(s.shift.sales));
    row("Возврат за смену:", num(s.shift.returnsCount) + u" чек(ов), " + moneyText(s.shift.returns));
    row("Внесено / выплачено:", moneyText(s.shift.deposits) + u" / " + moneyText(s.shift.withdrawals));
    row("Записей ФП:", num(static_cast<long long>(s.fiscalMemory.size())));
    row("Необнуляемый итог:", moneyText(s.grandSales) + u" приход, " + moneyText(s.grandReturns) + u" возврат");
    row("Часы ККТ:", tapeDateTime(now));
    row("Ширина ленты, симв.:", num(s.tapeWidth));
    row("Файл сбоев:", fs::exists(store.faultsPath()) ? store.faultsPath().u16string() : std::u16string(u"нет"));
    return 0;
}

int Reset(const fs::path& folder) {
    TEmuStore store(folder);
    const bool had = fs::exists(store.statePath()) || fs::exists(store.tapePath());
    store.reset();
    std::printf(had ? "Состояние и лента эмулятора удалены (%s): следующий start создаст новую ККТ.\n"
                    : "В папке %s нет состояния эмулятора.\n",
                fr::u8(folder.u16string()).c_str());
    return 0;
}

// A register's setting, kept with its state. Like reset, it is for a folder no program is using:
// a running one would save its own width with its next document.
int Width(const fs::path& folder, const std::string& value) {
    int32_t width = 0;
    try {
        size_t used = 0;
        width = std::stoi(value, &used);
        if (used != value.size()) width = 0;
    } catch (const std::exception&) {
    }
    if (width < kMinTapeWidth || width > kMaxTapeWidth) {
        std::fprintf(stderr, "fr-cli emulator width: ширина ленты — число символов от %d до %d\n", kMinTapeWidth,
                     kMaxTapeWidth);
        return 2;
    }
    TEmuStore store(folder);
    try {
        TEmuState current = store.load();
        TEmuState next = current;
        next.tapeWidth = width;
        store.commit(current, next, {});
    } catch (const fr::EError& e) {
        const auto* emu = dynamic_cast<const EEmuError*>(&e);
        std::fprintf(stderr, "%s\n", fr::u8(emu && !emu->extended().empty() ? emu->extended() : e.message()).c_str());
        return 1;
    }
    std::printf("Ширина ленты, символов в строке: %d.\n", width);
    return 0;
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        std::string dir;
        std::string width;
    };
    auto o = std::make_shared<Options>();
    c.add_option("--dir", o->dir, "the emulator's folder (default: FR_EMULATOR_DIR or the user's data folder)");
    c.require_subcommand(1, 1);
    // --dir may also come after the sub-command's words, as in "emulator width 42 --dir=X".
    CLI::App* status = c.add_subcommand("status", "the emulator's counters and state")->fallthrough();
    CLI::App* reset = c.add_subcommand("reset", "delete the state and the tape: the next start makes a new device")
                          ->fallthrough();
    CLI::App* width = c.add_subcommand("width", "the tape's width in characters")->fallthrough();
    width->add_option("N", o->width, "characters per row")->required();
    fr::cli::setExamples(c, {"fr-cli emulator status", "fr-cli emulator width 42 --dir=/tmp/emu"});
    fr::cli::setExamples(*status, {"fr-cli emulator status --dir=/tmp/emu"});
    fr::cli::setExamples(*reset, {"fr-cli emulator reset"});
    fr::cli::setExamples(*width, {"fr-cli emulator width 42"});
    return [o, status, reset] {
        const fs::path folder = o->dir.empty() ? defaultEmulatorFolder() : fs::path(fr::u16(o->dir));
        if (status->parsed()) return Status(folder);
        if (reset->parsed()) return Reset(folder);
        return Width(folder, o->width);
    };
}

#ifndef _WIN32
// Natively there is no COM registry: every fr-cli command that creates "Vornlex.FiscalPrinter"
// (through the driver or directly) gets the emulator. On Windows the registered COM class is used,
// which may be the vendor's own driver.
const bool emulatorRegistered = (registerEmulatorClass(), true);
#endif

fr::cli::CliCommandRegistration registration("emulator", "the emulator's state, a new device, the tape's width", Setup);

}  // namespace
