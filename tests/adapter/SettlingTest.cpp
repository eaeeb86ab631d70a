// Money operations whose answer is lost, over a scripted register: settled in the same call when
// the register can be asked, else by the next money operation on the device, from another driver
// object (as a new host process makes), through the journal on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ScriptedRegister.h"
#include "adapter/uMoneyJournal.h"
#include "dispatch/uEquipmentErrors.h"

using namespace fr;
using namespace fr::test;

namespace {

using Host = DriverHost<TLogRecordingDriver>;
using Script = std::function<void(ScriptedRegister&, FakeUniversalDriver&)>;

TMoneyRecord lastRecord(const Host& h) {
    TMoneyJournal journal(h.driver->JournalFolder());
    EXPECT_EQ(u8(journal.Load()), "");
    if (journal.Records().empty()) {
        ADD_FAILURE() << "no record";
        return {};
    }
    return journal.Records().back();
}

int count(const Seq& calls, const std::string& call) { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }

const std::string kOutcomeUnknown = "Результат операции пока не известен";
const std::string kEarlierUnknown = "Результат предыдущей операции на этой ККТ пока не известен";

}  // namespace

TEST(Settling, ALostAnswerIsSettledInTheSameCall) {
    struct Case {
        const char* what;
        Variant in;
        Script script;
        int32_t code;
        int printed;
        int64_t cashMoved;
        TMoneyState state;
        TMoneyOutcome outcome;
        std::string description = "";
    };
    const auto end = u"endFiscalReceipt";
    const auto cash = u"printRecCash";
    const Case cases[] = {
        {"the end carried out, its answer lost", saleInData(10), [&](auto& r, auto&) { r.lostAfter = {end}; }, 0, 1, 0,
         TMoneyState::msSettled, TMoneyOutcome::moDone},
        {"the end carried out, answered with a link error", saleInData(10),
         [&](auto&, auto& f) { f.errors[end] = {3, u"Связь с ККТ не установлена", u""}; }, 0, 1, 0,
         TMoneyState::msSettled, TMoneyOutcome::moDone},
        {"the end carried out, the link back after starting again", saleInData(10),
         [&](auto& r, auto&) { r.downAfter = {end}, r.startRestores = true; }, 0, 1, 0, TMoneyState::msSettled,
         TMoneyOutcome::moDone},
        {"the numbers after the end raise once", saleInData(10),
         [&](auto&, auto& f) { f.raisesAt[{u"SmenNum", 2}] = u"Сбой связи"; }, 0, 1, 0, TMoneyState::msSettled,
         TMoneyOutcome::moDone},
        {"the end never reached the register", saleInData(10), [&](auto& r, auto&) { r.lostBefore = {end}; }, 1001, 0,
         0, TMoneyState::msSettled, TMoneyOutcome::moNotDone, "Нет связи с ККТ"},
        {"the end carried out, the link down for good", saleInData(10), [&](auto& r, auto&) { r.downAfter = {end}; },
         3011, 1, 0, TMoneyState::msUnknown, TMoneyOutcome::moNone, kOutcomeUnknown},
        {"the end's fate hidden by a counter that moved by two", saleInData(10),
         [&](auto& r, auto& f) {
             r.lostAfter = {end};
             f.onCall = [&r, inner = f.onCall](const RecordedCall& c) {
                 if (c.name == u"endFiscalReceipt") ++r.last;  // another receipt went through meanwhile
                 inner(c);
             };
         },
         3011, 1, 0, TMoneyState::msUnknown, TMoneyOutcome::moNone, kOutcomeUnknown},
        {"a deposit carried out, its answer lost", cashInData(1, 50), [&](auto& r, auto&) { r.lostAfter = {cash}; }, 0,
         0, 500000, TMoneyState::msSettled, TMoneyOutcome::moDone},
        {"a withdrawal that never reached the register", cashInData(0, 30),
         [&](auto& r, auto&) { r.lostBefore = {cash}; }, 1001, 0, 0, TMoneyState::msSettled, TMoneyOutcome::moNotDone},
        {"a withdrawal carried out, the link down for good", cashInData(0, 30),
         [&](auto& r, auto&) { r.downAfter = {cash}; }, 3011, 0, -300000, TMoneyState::msUnknown,
         TMoneyOutcome::moNone, kOutcomeUnknown},
    };
    for (const auto& c : cases) {
        Host h;
        ScriptedRegister reg(*h.fake);
        c.script(reg, *h.fake);
        const bool receipt = c.in.array().at(0).isArray();
        EXPECT_EQ(h.call(receipt ? u"PrintReceipt" : u"Encash", c.in), c.code) << c.what;
        EXPECT_EQ(reg.printed, c.printed) << c.what;
        EXPECT_EQ(reg.cash - 1000000, c.cashMoved) << c.what;
        EXPECT_FALSE(reg.open) << c.what;
        if (c.code == 0) {
            EXPECT_EQ(h.out.array().at(0), Variant(7)) << c.what;
            EXPECT_EQ(h.out.array().at(1), Variant(reg.last)) << c.what;
        } else if (!c.description.empty()) {
            EXPECT_EQ(h.description().rfind(c.description, 0), 0u) << c.what << ": " << h.description();
        }
        const TMoneyRecord& r = lastRecord(h);
        EXPECT_EQ(r.State, c.state) << c.what;
        EXPECT_EQ(r.Outcome, c.outcome) << c.what;
    }
}

TEST(Settling, ANumberThatCannotBeReadAfterTheCommitKeepsItsPreset) {
    Host h;
    ScriptedRegister reg(*h.fake);
    h.fake->raises[u"GetTime"] = u"Сбой связи";
    ASSERT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0);
    EXPECT_EQ(reg.printed, 1);
    EXPECT_EQ(h.out.array().at(0), Variant(7));
    EXPECT_EQ(h.out.array().at(1), Variant(4));
    EXPECT_GT(h.out.array().at(3).rawReal(), 40000.0);  // the handler's preset: the computer's time
    EXPECT_TRUE(h.driver->logged("не все её номера удалось прочитать")) << h.driver->lines.size();
}

// Each case: a first call that leaves something to settle, what happens to the register before
// the second call, and the second call made by another driver object on the same journal.
TEST(Settling, TheNextOperationSettlesWhatAnEarlierOneLeft) {
    struct Case {
        const char* what;
        Variant first;
        Script breakLink;
        int32_t firstCode;
        std::function<void(ScriptedRegister&)> between;
        Variant second;
        int32_t secondCode;
        int printed;           // receipts on the register after both calls
        int64_t cashMoved;
        bool secondBegins;     // the second call begins a receipt of its own
        bool secondCancelsFirst;
        std::string logged;
        std::string description = "";
    };
    const auto end = u"endFiscalReceipt";
    const auto cash = u"printRecCash";
    auto restore = [](ScriptedRegister& r) { r.down = false; };
    const Case cases[] = {
        {"a retry of a receipt done while the link went down", saleInData(10),
         [&](auto& r, auto&) { r.downAfter = {end}; }, 3011, restore, saleInData(10), 0, 1, 0, false, false,
         "уже проведённой ККТ"},
        {"a retry of a receipt whose end never arrived", saleInData(10), [&](auto& r, auto&) { r.downBefore = {end}; },
         3011, restore, saleInData(10), 0, 1, 0, true, true, "не проведена"},
        {"another receipt after one done while the link went down", saleInData(10),
         [&](auto& r, auto&) { r.downAfter = {end}; }, 3011, restore, saleInData(20), 0, 2, 0, true, false,
         "Прежняя операция чек"},
        {"a receipt left open when the link dropped mid-receipt", saleInData(10),
         [&](auto& r, auto&) { r.downBefore = {u"printRecItem"}; }, 1001, restore, saleInData(20), 0, 1, 0, true, true,
         "не проведена"},
        {"the shift changed since the lost receipt", saleInData(10), [&](auto& r, auto&) { r.downAfter = {end}; }, 3011,
         // A new shift whose counter happens to stand one above the old baseline: it tells nothing.
         [](ScriptedRegister& r) { r.down = false, r.shift = 8, r.last = 4; }, saleInData(10), 0, 2, 0, true, false,
         "ВНИМАНИЕ"},
        {"the register still out of reach", saleInData(10), [&](auto& r, auto&) { r.downAfter = {end}; }, 3011,
         [](ScriptedRegister&) {}, saleInData(10), 3011, 1, 0, false, false, "нет связи с ККТ", kEarlierUnknown},
        {"a retry of a deposit done while the link went down", cashInData(1, 50),
         [&](auto& r, auto&) { r.downAfter = {cash}; }, 3011, restore, cashInData(1, 50), 0, 0, 500000, false, false,
         "уже проведённой ККТ"},
        {"a retry of a withdrawal that never arrived", cashInData(0, 30),
         [&](auto& r, auto&) { r.downBefore = {cash}; }, 3011, restore, cashInData(0, 30), 0, 0, -300000, false, false,
         "не проведена"},
    };
    for (const auto& c : cases) {
        Host a;
        ScriptedRegister reg(*a.fake);
        c.breakLink(reg, *a.fake);
        const bool receipt = c.first.array().at(0).isArray();
        const char16_t* method = receipt ? u"PrintReceipt" : u"Encash";
        EXPECT_EQ(a.call(method, c.first), c.firstCode) << c.what;
        c.between(reg);

        Host b;
        b.fake = a.fake;
        b.driver->SetJournalRoot(a.journal.text());
        a.fake->calls.clear();
        EXPECT_EQ(b.call(method, c.second), c.secondCode) << c.what << ": " << (c.secondCode ? b.description() : "");
        const Seq calls = a.fake->sequence();
        EXPECT_EQ(reg.printed, c.printed) << c.what;
        EXPECT_EQ(reg.cash - 1000000, c.cashMoved) << c.what;
        EXPECT_FALSE(reg.open) << c.what;
        EXPECT_EQ(count(calls, "beginFiscalReceipt(&0,&Иванова)"), c.secondBegins ? 1 : 0) << c.what;
        EXPECT_EQ(count(calls, "printRecCash(&500000)") + count(calls, "printRecCash(-300000)"), 0) << c.what;
        if (c.secondCancelsFirst) {
            // Cancelled before the new receipt begins: the register refuses a second one otherwise.
            ASSERT_GE(calls.size(), 4u) << c.what;
            EXPECT_EQ(calls[3], "printRecVoid()") << c.what;
        }
        EXPECT_TRUE(b.driver->logged(c.logged)) << c.what;
        if (c.secondCode == 0 && receipt) {
            EXPECT_EQ(b.out.array().at(0), Variant(reg.shift)) << c.what;
            EXPECT_EQ(b.out.array().at(1), Variant(reg.last)) << c.what;
        }
        if (!c.description.empty()) {
            EXPECT_EQ(b.description().rfind(c.description, 0), 0u) << c.what;
        }
    }
}

TEST(Settling, CompletedOperationsLeaveNothingToSettle) {
    Host h;
    ScriptedRegister reg(*h.fake);
    // Two customers buy the same loaf.
    ASSERT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0);
    EXPECT_EQ(h.out.array().at(1), Variant(4));
    ASSERT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0);
    EXPECT_EQ(h.out.array().at(1), Variant(5));
    EXPECT_EQ(reg.printed, 2);
    // And the same deposit twice, from another object on the same journal.
    Host other;
    other.fake = h.fake;
    other.driver->SetJournalRoot(h.journal.text());
    ASSERT_EQ(other.call(u"Encash", cashInData(1, 25)), 0);
    ASSERT_EQ(other.call(u"Encash", cashInData(1, 25)), 0);
    EXPECT_EQ(reg.cash, 1000000 + 500000);
    EXPECT_TRUE(other.driver->lines.empty());
}

TEST(Settling, AFailedCancelKeepsTheReceiptsOwnError) {
    struct Case {
        const char* what;
        Script script;
        int32_t code;
        std::string description;
    };
    const Case cases[] = {
        {"payment type 4", [](auto&, auto&) {}, 3012, "Номер оплаты вне допустимого диапазона"},
        {"the register refuses the item",
         [](auto&, auto& f) { f.errors[u"printRecItem"] = {30, u"Недопустимая налоговая группа", u""}; }, 30,
         "Недопустимая налоговая группа [30]"},
        {"the end refused", [](auto&, auto& f) { f.errors[u"endFiscalReceipt"] = {22, u"Сумма оплаты меньше итога чека", u""}; },
         22, "Сумма оплаты меньше итога чека [22]"},
    };
    for (const auto& c : cases) {
        Host h;
        ScriptedRegister reg(*h.fake);
        c.script(reg, *h.fake);
        Variant in = saleInData(10);
        if (c.code == 3012) in.array().at(1).array().at({0, 0}) = Variant(4);
        h.fake->raises[u"printRecVoid"] = u"Сбой связи";
        EXPECT_EQ(h.call(u"PrintReceipt", in), c.code) << c.what;
        EXPECT_EQ(h.description(), c.description) << c.what;
        // Refused before the end, it may be open: kept to cancel. The end refused was checked with
        // the register: not made, and the cancel that raised taken as "nothing open".
        const bool atTheEnd = c.code == 22;
        EXPECT_EQ(lastRecord(h).State, atTheEnd ? TMoneyState::msSettled : TMoneyState::msBegun) << c.what;
        // The next receipt cancels it first, then prints.
        h.fake->raises.clear();
        h.fake->errors.clear();
        h.fake->calls.clear();
        EXPECT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0) << c.what;
        const Seq calls = h.fake->sequence();
        ASSERT_GE(calls.size(), 4u);
        // The end refused left nothing open: the register cancelled before the cancel's answer
        // raised, and the new receipt begins at once.
        EXPECT_EQ(calls[3], atTheEnd ? "beginFiscalReceipt(&0,&Иванова)" : "printRecVoid()") << c.what;
        EXPECT_EQ(reg.printed, 1) << c.what;
    }
}

// A host killed in the middle leaves only the file: the record with its baseline must be on disk
// before the register is asked to do anything that moves money.
TEST(Settling, TheRecordIsOnDiskBeforeTheFirstCallThatMovesMoney) {
    const std::pair<Variant, const char16_t*> cases[] = {
        {saleInData(10), u"beginFiscalReceipt"},
        {cashInData(1, 50), u"printRecCash"},
        {cashInData(0, 50), u"printRecCash"},
    };
    for (const auto& [in, first] : cases) {
        Host h;
        ScriptedRegister reg(*h.fake);
        bool seen = false;
        h.fake->onCall = [&, inner = h.fake->onCall](const RecordedCall& c) {
            if (c.name == first) {
                TMoneyJournal onDisk(h.driver->JournalFolder());
                EXPECT_EQ(u8(onDisk.Load()), "");
                const TMoneyRecord* r = onDisk.Pending();
                seen = r && r->State == TMoneyState::msBegun && r->Baseline.Shift == 7 && r->Baseline.Receipt == 3 &&
                       r->Baseline.Cash == 1000000;
            }
            inner(c);
        };
        EXPECT_EQ(h.call(in.array().at(0).isArray() ? u"PrintReceipt" : u"Encash", in), 0) << u8(first);
        EXPECT_TRUE(seen) << u8(first);
    }
}
