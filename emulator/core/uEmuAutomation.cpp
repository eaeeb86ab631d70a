#include "uEmuAutomation.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "uEmuDevice.h"
#include "uEmuErrors.h"
#include "uEmuStore.h"

namespace fr::emu {

namespace {
enum class Need { Nothing, Start, Connection };

const char16_t* const kModelNames[] = {
    u"Datecs FP3530T/ЕКСЕЛЛIО (протокол Датекс)",
    u"Datecs FP-3141T/FP-T260/CMP-10/FP-Т88/FP-320 (протокол Криптон)",
    u"Мария 301МТМ/Мария-304Т/Мария-304Т1/Мария-304Т2",
    u"IKС E-810T/С651Т/А8800/MG-T808TL/MG N707TS (протокол ИКС-Техно)",
    u"Мини-ФП4/Мини-ФП6",
    u"Мини-ФП54/Мини-ФП81/Мини-ФП82",
    u"MG N707TS/MG-T808TL/MG-P800TL/MG-P777TL/MG-T787TL (TCP/IP)",
    u"ЛеоКас",
};
constexpr int32_t kModelCount = 8;

// Arguments as the vendor's object takes them; a value that does not convert is a refusal.
int32_t intArg(const std::vector<Variant>& a, size_t i) {
    try {
        return a[i].toInt();
    } catch (const EError& e) {
        throw EEmuError(ecBadParameter, {}, u"Параметр " + num(static_cast<long long>(i + 1)) + u": " + e.message());
    }
}
int64_t currencyArg(const std::vector<Variant>& a, size_t i) {
    try {
        return a[i].toCurrency();
    } catch (const EError& e) {
        throw EEmuError(ecBadParameter, {}, u"Параметр " + num(static_cast<long long>(i + 1)) + u": " + e.message());
    }
}
double doubleArg(const std::vector<Variant>& a, size_t i) {
    try {
        return a[i].toDouble();
    } catch (const EError& e) {
        throw EEmuError(ecBadParameter, {}, u"Параметр " + num(static_cast<long long>(i + 1)) + u": " + e.message());
    }
}
std::u16string textArg(const std::vector<Variant>& a, size_t i) {
    if (a[i].isEmptyOrNull()) return {};
    try {
        return a[i].toText();
    } catch (const EError& e) {
        throw EEmuError(ecBadParameter, {}, u"Параметр " + num(static_cast<long long>(i + 1)) + u": " + e.message());
    }
}
Variant ok() { return Variant(int32_t{0}); }

[[noreturn]] void refuseOtherModel(int32_t model) {
    throw EEmuError(ecSeeExtended, {},
                    u"Модель \"" + std::u16string(kModelNames[model]) +
                        u"\" работает по собственному протоколу обмена: для связи с ней нужен универсальный "
                        u"драйвер производителя. Здесь установлен эмулятор, он работает только с моделью "
                        u"\"ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА\" (код 100).");
}
}  // namespace

struct TEmuAutomation::Method {
    const char16_t* name;
    int minArgs, maxArgs;
    Need need;
    bool prints;
    Variant (*call)(TEmuAutomation& self, std::vector<Variant>& a);
    Variant (*failValue)();  // the value a refused call returns; none: the error code
    bool errorState = false; // LastError and its texts: read without touching the state
};

// The handlers, with access to the object's session.
struct TEmuCalls {
    using A = std::vector<Variant>;
    static Variant start(TEmuAutomation& o, A& a) {
        const int32_t model = intArg(a, 0);
        if (model != kEmulatorModel && (model < 0 || model >= kModelCount)) throw EEmuError(ecUnknownModel);
        o.FDevice.reset();
        o.FStarted = o.FPortOpen = false;
        if (model == kEmulatorModel) {
            auto device = TEmuDevice::open(o.FFolder);
            device->reload();
            o.FDevice = std::move(device);
        }
        o.FModel = model;
        o.FStarted = true;
        return ok();
    }
    static Variant openPort(TEmuAutomation& o, A& a) {
        if (o.FModel != kEmulatorModel) refuseOtherModel(o.FModel);
        const std::u16string port = asciiUpperCase(textArg(a, 0));
        bool valid = port.size() > 3 && port.size() <= 6 && port.compare(0, 3, u"COM") == 0;
        for (size_t i = 3; valid && i < port.size(); ++i) valid = port[i] >= u'0' && port[i] <= u'9';
        if (!valid) throw EEmuError(ecBadParameter, u"Недопустимое имя порта");
        const int32_t baud = intArg(a, 1);
        if (baud < 0 || baud > 6) throw EEmuError(ecBadParameter, u"Недопустимая скорость обмена");
        o.FPortOpen = true;
        return ok();
    }
    static Variant openPortEx(TEmuAutomation& o, A& a) {
        if (o.FModel != kEmulatorModel) refuseOtherModel(o.FModel);
        textArg(a, 0);
        const int32_t port = intArg(a, 1);
        if (port < 1 || port > 65535) throw EEmuError(ecBadParameter, u"Недопустимый номер порта TCP");
        o.FPortOpen = true;
        return ok();
    }
    static Variant closePort(TEmuAutomation& o, A&) {
        o.FPortOpen = false;
        return ok();
    }
    static Variant stop(TEmuAutomation& o, A&) {
        o.FPortOpen = o.FStarted = false;
        o.FDevice.reset();
        return ok();
    }
    static Variant sn(TEmuAutomation& o, A&) { return Variant(o.device().serialNumber()); }
    static Variant cash(TEmuAutomation& o, A&) { return Variant::currency(currencyFromMoney(o.device().cash())); }
    static Variant printRecCash(TEmuAutomation& o, A& a) {
        o.device().printRecCash(currencyArg(a, 0));
        return ok();
    }
    static Variant getTime(TEmuAutomation& o, A&) {
        DateParts p = decodeDateTime(o.device().deviceTime());
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d%02d%02d", p.hour, p.minute, p.second);
        return Variant(utf8ToUtf16(buf));
    }
    static Variant setTime(TEmuAutomation& o, A& a) {
        const std::u16string t = trim(textArg(a, 0));
        bool digits = t.size() == 6;
        for (char16_t c : t) digits = digits && c >= u'0' && c <= u'9';
        if (!digits) throw EEmuError(ecBadTime, u"Время должно быть шестью цифрами ччммсс");
        auto two = [&](size_t i) { return (t[i] - u'0') * 10 + (t[i + 1] - u'0'); };
        o.device().setTime(two(0), two(2), two(4));
        return ok();
    }
    static Variant smenNum(TEmuAutomation& o, A&) { return Variant(o.device().shiftNumber()); }
    static Variant lastReceiptNum(TEmuAutomation& o, A&) { return Variant(o.device().lastReceiptNumber()); }
    static Variant printNullReceipt(TEmuAutomation& o, A&) {
        o.device().printNullReceipt();
        return ok();
    }
    static Variant openCashDrawer(TEmuAutomation& o, A&) {
        o.device().openCashDrawer();
        return ok();
    }
    static Variant printXReport(TEmuAutomation& o, A&) {
        o.device().printXReport();
        return ok();
    }
    static Variant printZReport(TEmuAutomation& o, A&) {
        o.device().printZReport();
        return ok();
    }
    static Variant printPeriodicReport(TEmuAutomation& o, A& a) {
        o.device().printPeriodicReport(intArg(a, 0), textArg(a, 1), textArg(a, 2));
        return ok();
    }
    static Variant printReport(TEmuAutomation& o, A& a) {
        o.device().printReport(intArg(a, 0));
        return ok();
    }
    static Variant beginFiscalReceipt(TEmuAutomation& o, A& a) {
        o.device().beginFiscalReceipt(intArg(a, 0), a.size() > 1 ? textArg(a, 1) : std::u16string());
        return ok();
    }
    static Variant printRecItem(TEmuAutomation& o, A& a) {
        o.device().printRecItem(textArg(a, 0), currencyArg(a, 1), doubleArg(a, 2), intArg(a, 3),
                                a.size() > 4 ? currencyArg(a, 4) : 0, a.size() > 5 ? doubleArg(a, 5) : 0.0);
        return ok();
    }
    static Variant printText(TEmuAutomation& o, A& a) {
        o.device().printText(textArg(a, 0));
        return ok();
    }
    static Variant printBarCode(TEmuAutomation& o, A& a) {
        o.device().printBarCode(textArg(a, 0), intArg(a, 1));
        return ok();
    }
    static Variant printRecTotal(TEmuAutomation& o, A& a) {
        o.device().printRecTotal(currencyArg(a, 0), intArg(a, 1));
        return ok();
    }
    static Variant endFiscalReceipt(TEmuAutomation& o, A&) {
        o.device().endFiscalReceipt();
        return ok();
    }
    static Variant printRecVoid(TEmuAutomation& o, A&) {
        o.device().printRecVoid();
        return ok();
    }
    static Variant beginNonFiscal(TEmuAutomation& o, A&) {
        o.device().beginNonFiscal();
        return ok();
    }
    static Variant endNonFiscal(TEmuAutomation& o, A&) {
        o.device().endNonFiscal();
        return ok();
    }
    static Variant printNonFiscalText(TEmuAutomation& o, A& a) {
        o.device().printNonFiscalText(textArg(a, 0));
        return ok();
    }
    static Variant lastError(TEmuAutomation& o, A&) { return Variant(o.FLastError); }
    static Variant lastErrorText(TEmuAutomation& o, A&) { return Variant(o.FLastErrorText); }
    static Variant lastErrorExText(TEmuAutomation& o, A&) { return Variant(o.FLastErrorExText); }

    static Variant zero() { return Variant(int32_t{0}); }
    static Variant noText() { return Variant(std::u16string()); }
    static Variant noMoney() { return Variant::currency(0); }
};

namespace {
using C = TEmuCalls;
using M = TEmuAutomation::Method;
// DISPID = index + 1.
const M kMethods[] = {
    {u"start", 1, 1, Need::Nothing, false, C::start, nullptr},
    {u"OpenPort", 2, 2, Need::Start, false, C::openPort, nullptr},
    {u"OpenPortEx", 2, 2, Need::Start, false, C::openPortEx, nullptr},
    {u"closePort", 0, 0, Need::Nothing, false, C::closePort, nullptr},
    {u"stop", 0, 0, Need::Nothing, false, C::stop, nullptr},
    {u"SN", 0, 0, Need::Connection, false, C::sn, C::noText},
    {u"Cash", 0, 0, Need::Connection, false, C::cash, C::noMoney},
    {u"printRecCash", 1, 1, Need::Connection, true, C::printRecCash, nullptr},
    {u"GetTime", 0, 0, Need::Connection, false, C::getTime, C::noText},
    {u"SetTime", 1, 1, Need::Connection, false, C::setTime, nullptr},
    {u"SmenNum", 0, 0, Need::Connection, false, C::smenNum, C::zero},
    {u"LastReceiptNum", 0, 0, Need::Connection, false, C::lastReceiptNum, C::zero},
    {u"printNullReceipt", 0, 0, Need::Connection, true, C::printNullReceipt, nullptr},
    {u"openCashDrawer", 0, 0, Need::Connection, false, C::openCashDrawer, nullptr},
    {u"printXReport", 0, 0, Need::Connection, true, C::printXReport, nullptr},
    {u"printZReport", 0, 0, Need::Connection, true, C::printZReport, nullptr},
    {u"printPeriodicReport", 3, 3, Need::Connection, true, C::printPeriodicReport, nullptr},
    {u"printReport", 1, 1, Need::Connection, true, C::printReport, nullptr},
    {u"beginFiscalReceipt", 1, 2, Need::Connection, true, C::beginFiscalReceipt, nullptr},
    {u"printRecItem", 4, 6, Need::Connection, true, C::printRecItem, nullptr},
    {u"printText", 1, 1, Need::Connection, true, C::printText, nullptr},
    {u"printBarCode", 2, 2, Need::Connection, true, C::printBarCode, nullptr},
    {u"printRecTotal", 2, 2, Need::Connection, true, C::printRecTotal, nullptr},
    {u"endFiscalReceipt", 0, 0, Need::Connection, true, C::endFiscalReceipt, nullptr},
    {u"printRecVoid", 0, 0, Need::Connection, false, C::printRecVoid, nullptr},
    {u"beginNonFiscal", 0, 0, Need::Connection, true, C::beginNonFiscal, nullptr},
    {u"endNonFiscal", 0, 0, Need::Connection, true, C::endNonFiscal, nullptr},
    {u"printNonFiscalText", 1, 1, Need::Connection, true, C::printNonFiscalText, nullptr},
    {u"LastError", 0, 0, Need::Nothing, false, C::lastError, C::zero, true},
    {u"LastErrorText", 0, 0, Need::Nothing, false, C::lastErrorText, C::noText, true},
    {u"LastErrorExText", 0, 0, Need::Nothing, false, C::lastErrorExText, C::noText, true},
};
constexpr int32_t kMethodCount = static_cast<int32_t>(sizeof kMethods / sizeof kMethods[0]);

const M* findMethod(const std::u16string& name) {
    for (const M& m : kMethods)
        if (sameTextAscii(name, m.name)) return &m;
    return nullptr;
}

// The error-state properties are never counted or failed, so a rule cannot name them either.
bool faultable(const std::u16string& name) {
    const M* m = findMethod(name);
    return m && !m->errorState;
}
}  // namespace

TEmuAutomation::TEmuAutomation(std::filesystem::path folder)
    : FFolder(folder.empty() ? defaultEmulatorFolder() : std::move(folder)),
      FFaults(FFolder / "faults.txt", faultable) {}

TEmuAutomation::~TEmuAutomation() = default;

HResult TEmuAutomation::getIDsOfNames(const std::u16string& name, int32_t& dispid) {
    const M* m = findMethod(name);
    dispid = m ? static_cast<int32_t>(m - kMethods) + 1 : -1;
    return m ? kS_OK : kDISP_E_UNKNOWNNAME;
}

TEmuDevice& TEmuAutomation::device() {
    // The handler table guarantees a connection; a device exists only for the emulator model.
    return *FDevice;
}

void TEmuAutomation::setError(int32_t code, std::u16string text, std::u16string extended) {
    FLastError = code;
    FLastErrorText = std::move(text);
    FLastErrorExText = extended.empty() ? FLastErrorText : std::move(extended);
}

Variant TEmuAutomation::run(const Method& m, std::vector<Variant>& args) {
    if (m.errorState) return m.call(*this, args);
    TEmuFaults::Aftermath aftermath;
    Variant result;
    try {
        aftermath = FFaults.check(m.name, m.prints);
        if (m.need != Need::Nothing && !FStarted) throw EEmuError(ecNotStarted);
        if (m.need == Need::Connection && !FPortOpen) throw EEmuError(ecPortNotOpen);
        result = m.call(*this, args);
        setError(ecOk, emuCodeText(ecOk), {});
    } catch (const EEmuRaised& e) {
        // The call failed: a caller that catches the exception and then reads the error state
        // finds a failure, not the outcome of the call before.
        setError(ecSeeExtended, emuCodeText(ecSeeExtended), e.message());
        throw;
    } catch (const EEmuError& e) {
        setError(e.code(), e.message(), e.extended());
    } catch (const EError& e) {
        // A file the register could not write: the call did not happen.
        setError(ecSeeExtended, emuCodeText(ecSeeExtended), e.message());
    } catch (const std::exception& e) {
        setError(ecSeeExtended, emuCodeText(ecSeeExtended), utf8ToUtf16(e.what()));
    }
    if (aftermath.lostAnswer) {
        // Whatever the register did stays done; the caller learns only that the answer never came.
        setError(ecSeeExtended, emuCodeText(ecSeeExtended), *aftermath.lostAnswer);
        throw EEmuRaised(*aftermath.lostAnswer);
    }
    // The register did the work and then reported a fault; a call it refused keeps its refusal.
    if (aftermath.reported && FLastError == ecOk)
        setError(aftermath.reported->code(), aftermath.reported->message(), aftermath.reported->extended());
    if (FLastError != ecOk) return m.failValue ? m.failValue() : Variant(FLastError);
    return result;
}

HResult TEmuAutomation::invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                               ExcepInfo& excep) {
    if (dispid < 1 || dispid > kMethodCount) return kDISP_E_MEMBERNOTFOUND;
    if (!(flags & (kDISPATCH_METHOD | kDISPATCH_PROPERTYGET))) return kDISP_E_MEMBERNOTFOUND;
    const Method& m = kMethods[dispid - 1];
    if (static_cast<int>(args.size()) < m.minArgs || static_cast<int>(args.size()) > m.maxArgs)
        return kDISP_E_BADPARAMCOUNT;
    try {
        result = run(m, args);
        return kS_OK;
    } catch (const EEmuRaised& e) {
        excep.scode = kE_FAIL;
        excep.source = u"Vornlex.FiscalPrinter";
        excep.description = e.message();
        excep.filled = true;
        return kDISP_E_EXCEPTION;
    } catch (...) {
        // run() keeps refusals in the error state; only the truly unexpected lands here.
        excep.scode = kE_UNEXPECTED;
        excep.source = u"Vornlex.FiscalPrinter";
        excep.description = u"Внутренняя ошибка эмулятора";
        excep.filled = true;
        return kDISP_E_EXCEPTION;
    }
}

void registerEmulatorClass() {
    registerInProcessClass(u"Vornlex.FiscalPrinter", [](const std::u16string&) -> std::shared_ptr<AutomationObject> {
        return std::make_shared<DispatchObject>(std::make_shared<TEmuAutomation>());
    });
}

}  // namespace fr::emu
