#pragma once
// A register behind the scripted universal driver, for the journal's tests: counters that move
// when a receipt ends or cash is moved, a receipt that stays open until it ends or is cancelled,
// a link that can be lost before a call, after a call was carried out, or for good, and a cancel
// refused when nothing is open. A call carried out that then answers an error is the fake's
// errorsAt: the register looks only at `errors` to refuse.
#include <cmath>
#include <set>
#include <string>

#include "DriverHost.h"
#include "automation/Errors.h"

namespace fr::test {

struct ScriptedRegister {
    int32_t shift = 7, last = 3;
    int64_t cash = 1000000;  // 100.00 in the drawer
    bool open = false;
    int printed = 0;                      // receipts committed
    bool down = false;                    // every call raises
    bool startRestores = false;           // while down, starting the driver again brings the link back
    std::set<std::u16string> lostBefore;  // the next such call raises, not carried out
    std::set<std::u16string> downBefore;  // at the next such call the link goes down, not carried out
    std::set<std::u16string> lostAfter;   // the next such call is carried out, then raises
    std::set<std::u16string> downAfter;   // the next such call is carried out, then the link is down

    explicit ScriptedRegister(FakeUniversalDriver& fake) : f(fake) {
        f.values[u"GetTime"] = Variant(u"093015");
        f.values[u"SN"] = Variant(u"0012345678");
        f.onCall = [this](const RecordedCall& c) { act(c); };
    }

private:
    FakeUniversalDriver& f;

    void act(const RecordedCall& c) {
        const std::u16string& name = c.name;
        if (down && startRestores && name == u"start") down = false;
        if (downBefore.erase(name)) down = true;
        if (down) throw EOleError(u"Нет связи с ККТ");
        if (lostBefore.erase(name)) throw EOleError(u"Нет связи с ККТ");
        // A refusal set by the test: not carried out (a link error may hide one that was).
        const auto refusal = f.errors.find(name);
        const bool refused = name != u"beginFiscalReceipt" && name != u"printRecVoid" && refusal != f.errors.end() &&
                             refusal->second.code != 0 && !IsLinkError(refusal->second.code);
        if (refused) {
        } else if (name == u"beginFiscalReceipt") {
            if (open) {
                f.errors[name] = {20, u"Чек уже открыт", u""};
            } else {
                f.errors.erase(name);
                open = true;
            }
        } else if (name == u"endFiscalReceipt" && open) {
            open = false;
            ++last;
            ++printed;
        } else if (name == u"printRecVoid") {
            // Nothing open to cancel: refused, as a register does.
            if (open) f.errors.erase(name);
            else f.errors[name] = {21, u"Чек не открыт", u""};
            open = false;
        } else if (name == u"printNullReceipt") {
            // A new shift: its counters start again.
            ++shift;
            last = 0;
        } else if (name == u"printRecCash") {
            cash += c.args.at(0).rawInt();
        }
        f.values[u"SmenNum"] = Variant(shift);
        f.values[u"LastReceiptNum"] = Variant(last);
        f.values[u"Cash"] = Variant::currency(cash);
        if (lostAfter.erase(name)) throw EOleError(u"Ответ ККТ не получен");
        if (downAfter.erase(name)) {
            down = true;
            throw EOleError(u"Ответ ККТ не получен");
        }
    }
};

// A driver whose debug-log lines are kept, whether the log is on or not.
class TLogRecordingDriver : public TDriverFR {
public:
    std::vector<std::string> lines;
    void DebugLog(const std::u16string& caption, const std::u16string& text, bool) override {
        lines.push_back(u8(caption + u": " + text));
    }
    bool logged(const std::string& part) const {
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
};

// A fiscal sale of one item (bread at `price`) paid in cash, as a host hands it over.
inline Variant saleInData(double price, const std::u16string& name = u"Хлеб") {
    VariantArray items = VariantArray::matrix(19, 1);
    items.at({0, 0}) = Variant(name);
    items.at({4, 0}) = Variant::currency(std::llround(price * 10000));
    items.at({5, 0}) = Variant(1.0);
    items.at({10, 0}) = Variant(1);
    VariantArray pays = VariantArray::matrix(4, 1);
    pays.at({0, 0}) = Variant(0);
    pays.at({1, 0}) = Variant::currency(std::llround(price * 10000));
    std::vector<Variant> common(13);
    common[0] = Variant(0);
    common[1] = Variant(true);
    common[4] = Variant::currency(std::llround(price * 10000));
    common[12] = Variant(u"Иванова");
    return inData({Variant(std::move(items)), Variant(std::move(pays)), Variant(VariantArray::vector(common))});
}

inline Variant cashInData(int32_t type, double sum) { return inData({Variant(type), Variant(sum)}); }

}  // namespace fr::test
