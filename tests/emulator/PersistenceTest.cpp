// The state survives restarts (with the document a program left open, as a register keeps it), a
// damaged state file is refused and kept, and a document the process did not finish printing is
// completed on the next start.
#include "EmuTestSupport.h"

#include <set>

#include "uEmuDevice.h"
#include "uEmuErrors.h"

namespace fr::emu::test {
namespace {

namespace fs = std::filesystem;
Variant i4(int32_t v) { return Variant(v); }

void sell(Session& s, const char* price) {
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    s.ok(u"printRecItem", {Variant(u"Товар"), money(price), Variant(1.0), i4(0)});
    s.ok(u"printRecTotal", {money(price), i4(0)});
    s.ok(u"endFiscalReceipt");
}

class Persistence : public EmuTest {};

TEST_F(Persistence, RestartKeepsShiftCountersCashSerialAndTheOpenReceipt) {
    std::u16string sn;
    {
        Session s(FDir);
        s.connect();
        sn = s.ok(u"SN").toText();
        s.ok(u"printNullReceipt");
        sell(s, "120.50");
        sell(s, "10");
        // The program ends in the middle of a receipt: the receipt stays open on the register.
        s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"Иванова")});
        s.ok(u"printRecItem", {Variant(u"Незавершённый"), money("99"), Variant(1.0), i4(0)});
        s.ok(u"printText", {Variant(u"Комментарий")});
    }
    const size_t paperBefore = tape().size();
    Session s(FDir);
    s.connect();
    EXPECT_EQ(s.ok(u"SN").toText(), sn);
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 1);
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 2);
    EXPECT_EQ(s.ok(u"Cash"), money("130.50"));
    s.call(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    EXPECT_EQ(s.lastError(), ecReceiptOpen);
    EXPECT_EQ(s.lastErrorText(), u"Чек уже открыт");
    // It is voided as printed so far: its item, its text and its cashier on the tape, no counters.
    s.ok(u"printRecVoid");
    const auto paper = tape();
    const std::vector<std::u16string> voided(paper.begin() + static_cast<long>(paperBefore), paper.end());
    auto printed = [&](const std::u16string& text) {
        for (const auto& line : voided)
            if (line.find(text) != std::u16string::npos) return true;
        return false;
    };
    for (const char16_t* text : {u"АННУЛИРОВАНИЕ", u"Незавершённый", u"Комментарий", u"Иванова", u"ЧЕК АННУЛИРОВАН"})
        EXPECT_TRUE(printed(text)) << utf16ToUtf8(text);
    sell(s, "1");
    const TEmuState st = saved();
    EXPECT_EQ(st.documentNumber, 4);
    EXPECT_EQ(st.shift.salesCount, 3);
    EXPECT_EQ(st.shift.sales, 13150);
    EXPECT_FALSE(st.open.receipt);
}

TEST_F(Persistence, NonFiscalDocumentLeftOpenIsContinuedAfterRestart) {
    {
        Session s(FDir);
        s.connect();
        s.ok(u"beginNonFiscal");
        s.ok(u"printNonFiscalText", {Variant(u"Первая строка")});
        s.ok(u"printBarCode", {Variant(u"4600000000008"), i4(1)});
    }
    const size_t paperBefore = tape().size();
    Session s(FDir);
    s.connect();
    s.call(u"beginNonFiscal");
    EXPECT_EQ(s.lastError(), ecDocumentOpen);
    s.call(u"beginFiscalReceipt", {i4(0)});
    EXPECT_EQ(s.lastError(), ecDocumentOpen);
    s.ok(u"printNonFiscalText", {Variant(u"Вторая строка")});
    s.ok(u"endNonFiscal");
    const auto paper = tape();
    const std::vector<std::u16string> printed(paper.begin() + static_cast<long>(paperBefore), paper.end());
    ASSERT_GE(printed.size(), 7u);
    EXPECT_EQ(printed[4], u"Первая строка");
    EXPECT_NE(printed[5].find(u"[EAN-13 4600000000008]"), std::u16string::npos);
    EXPECT_EQ(printed[6], u"Вторая строка");
    EXPECT_TRUE(saved().open.empty());
}

// Two programs over one folder: each reads the register when it starts, and what one ended or
// cancelled is not open for the other any more.
TEST_F(Persistence, StartReadsTheOpenDocumentFromTheSavedState) {
    TEmuDevice first(FDir);
    first.printNullReceipt();
    first.beginFiscalReceipt(0, u"");
    first.printRecItem(u"Товар", 50'0000, 1.0, 0, 0, 0);
    TEmuDevice second(FDir);
    ASSERT_TRUE(second.receiptOpen());
    EXPECT_EQ(second.openDocument(), first.openDocument());
    second.printRecVoid();
    first.reload();
    EXPECT_FALSE(first.receiptOpen());
    first.beginFiscalReceipt(0, u"");
    second.reload();
    EXPECT_TRUE(second.receiptOpen());
}

TEST_F(Persistence, StateOfTheFirstFormatLoads) {
    // As an emulator saved it before the open document was kept.
    writeFile(FDir / "state.json", R"({
 "cash": 12050,
 "clockOffsetDays": 0.0,
 "documentNumber": 2,
 "fiscalMemory": [],
 "format": 1,
 "grandReturns": 0,
 "grandSales": 12050,
 "receiptNumber": 1,
 "serialNumber": "9912345678",
 "shift": {"cashiers": [{"name": "", "returns": 0, "returnsCount": 0, "sales": 12050, "salesCount": 1}],
  "deposits": 0, "depositsCount": 0, "returnPayments": [0, 0, 0, 0], "returnTaxes": [0, 0, 0, 0, 0, 0, 0],
  "returns": 0, "returnsCount": 0, "salePayments": [12050, 0, 0, 0], "saleTaxes": [0, 12050, 0, 0, 0, 0, 0],
  "sales": 12050, "salesCount": 1, "withdrawals": 0, "withdrawalsCount": 0},
 "shiftNumber": 1,
 "shiftOpen": true,
 "shiftOpenedAt": "2024-03-01 08:30:00",
 "tape": {"end": 0, "lastDocument": ""},
 "tapeWidth": 48
}
)");
    Session s(FDir);
    s.connect();
    EXPECT_EQ(s.ok(u"SN").toText(), u"9912345678");
    EXPECT_EQ(s.ok(u"Cash"), money("120.50"));
    sell(s, "1");
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 2);
    s.ok(u"beginNonFiscal");
    // Saved again in the current format, open document and all.
    const std::string text = readFile(FDir / "state.json");
    EXPECT_NE(text.find("\"format\": 2"), std::string::npos);
    EXPECT_TRUE(saved().open.nonFiscal);
}

TEST_F(Persistence, DamagedStateFileIsRefusedAndKept) {
    {
        Session s(FDir);
        s.connect();
        s.ok(u"printNullReceipt");
    }
    const std::string good = readFile(FDir / "state.json");
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"not JSON", "this is not a state"},
        {"cut short", good.substr(0, good.size() / 2)},
        {"empty file", ""},
        {"a field missing", [&] { auto t = good; t.erase(t.find("\"cash\"")); return t + "}"; }()},
        {"cash as text", [&] { auto t = good; t.replace(t.find("\"cash\": 0"), 9, "\"cash\": \"0\""); return t; }()},
        {"negative cash", [&] { auto t = good; t.replace(t.find("\"cash\": 0"), 9, "\"cash\": -5"); return t; }()},
        {"tape too narrow", [&] { auto t = good; t.replace(t.find("\"tapeWidth\": 48"), 15, "\"tapeWidth\": 31"); return t; }()},
    };
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        writeFile(FDir / "state.json", text);
        Session s(FDir);
        s.call(u"start", {i4(100)});
        EXPECT_EQ(s.lastError(), ecSeeExtended);
        const std::string ex = utf16ToUtf8(s.lastErrorExText());
        EXPECT_NE(ex.find("state.json"), std::string::npos) << ex;
        EXPECT_NE(ex.find("повреждён"), std::string::npos) << ex;
        // Nothing works on it, and the file is never replaced by a fresh device.
        s.call(u"OpenPort", {Variant(u"COM1"), i4(1)});
        EXPECT_EQ(s.lastError(), ecNotStarted);
        EXPECT_EQ(readFile(FDir / "state.json"), text);
    }
    writeFile(FDir / "state.json", good);
    Session s(FDir);
    s.connect();
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 1);
}

TEST_F(Persistence, DocumentCutShortOnTapeIsCompletedOnStart) {
    {
        Session s(FDir);
        s.connect();
        s.ok(u"printNullReceipt");
        sell(s, "42");
    }
    const std::string full = readFile(FDir / "tape.txt");
    const std::string last = saved().lastTapeDocument;
    ASSERT_FALSE(last.empty());
    ASSERT_EQ(full.substr(full.size() - last.size()), last);
    // The process died after saving the state: nothing, or part, of the receipt reached the tape.
    for (size_t kept : {size_t{0}, last.size() / 3, last.size() - 1}) {
        SCOPED_TRACE(kept);
        fs::resize_file(FDir / "tape.txt", full.size() - last.size() + kept);
        Session s(FDir);
        s.connect();
        EXPECT_EQ(readFile(FDir / "tape.txt"), full);
    }
    // A tape torn off by the user is paper: it is left alone, and printing goes on.
    fs::remove(FDir / "tape.txt");
    Session s(FDir);
    s.connect();
    EXPECT_FALSE(fs::exists(FDir / "tape.txt"));
    sell(s, "1");
    EXPECT_EQ(readFile(FDir / "tape.txt"), saved().lastTapeDocument);
}

TEST_F(Persistence, TapeWidthIsTheRegistersAndKeptWithItsState) {
    const std::u16string longLine(100, u'ж');
    auto printLongLine = [&] {
        const size_t before = tape().size();
        Session s(FDir);
        s.connect();
        s.ok(u"beginNonFiscal");
        s.ok(u"printNonFiscalText", {Variant(longLine)});
        s.ok(u"endNonFiscal");
        const auto paper = tape();
        return std::vector<std::u16string>(paper.begin() + static_cast<long>(before), paper.end());
    };
    // A state saved before the width was kept reads as the default.
    printLongLine();
    std::string text = readFile(FDir / "state.json");
    const size_t at = text.find("\"tapeWidth\": 48");
    ASSERT_NE(at, std::string::npos);
    const size_t comma = text.rfind(',', at);
    writeFile(FDir / "state.json", text.erase(comma, at + 15 - comma));
    EXPECT_EQ(saved().tapeWidth, 48);

    // As fr-cli emulator width sets it: the next start prints at the new width, wrapping long lines.
    TEmuStore store(FDir);
    TEmuState current = store.load(), next = current;
    next.tapeWidth = 42;
    store.commit(current, next, {});
    const auto printed = printLongLine();
    ASSERT_EQ(printed.size(), 11u);
    EXPECT_EQ(printed[1].size(), 42u);  // the header's serial number at the right edge
    EXPECT_EQ(printed[3], std::u16string(42, u'-'));
    EXPECT_EQ(printed[4], longLine.substr(0, 42));
    EXPECT_EQ(printed[5], longLine.substr(42, 42));
    EXPECT_EQ(printed[6], longLine.substr(84));
    EXPECT_EQ(printed[7], std::u16string(42, u'-'));
    EXPECT_EQ(printed[9], std::u16string(42, u'='));
    EXPECT_EQ(saved().tapeWidth, 42);
}

TEST_F(Persistence, NewFolderIsNewDeviceAndResetForgetsIt) {
    const fs::path nested = FDir / "a" / "b";
    std::u16string sn;
    {
        Session s(nested);
        s.connect();
        sn = s.ok(u"SN").toText();
        EXPECT_EQ(s.ok(u"SmenNum").toInt(), 0);
        EXPECT_EQ(s.ok(u"Cash"), money("0"));
        s.ok(u"printNullReceipt");
    }
    ASSERT_TRUE(fs::exists(nested / "state.json"));
    TEmuStore(nested).reset();
    EXPECT_FALSE(fs::exists(nested / "tape.txt"));
    Session s(nested);
    s.connect();
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 0);
    EXPECT_NE(s.ok(u"SN").toText(), u"");
}

// The driver keeps its money journal by the register's serial number: two devices, made at once
// or one after another, must never share one.
TEST_F(Persistence, EveryNewDeviceHasItsOwnWellFormedSerialNumber) {
    auto wellFormed = [](const std::u16string& sn) {
        bool digits = sn.size() == kSerialDigits && sn.starts_with(u"99");
        for (char16_t c : sn) digits = digits && c >= u'0' && c <= u'9';
        return digits;
    };
    std::set<std::u16string> seen;
    for (int i = 0; i < 10; ++i) {
        Session s(FDir / std::to_string(i));
        s.connect();
        const std::u16string sn = s.ok(u"SN").toText();
        EXPECT_TRUE(wellFormed(sn)) << utf16ToUtf8(sn);
        EXPECT_TRUE(seen.insert(sn).second) << utf16ToUtf8(sn);
    }
    // As many as a long series of test runs makes; eight random digits repeated among these.
    int bad = 0, repeated = 0;
    for (int i = 0; i < 50000; ++i) {
        const std::u16string sn = newSerialNumber();
        bad += !wellFormed(sn);
        repeated += !seen.insert(sn).second;
    }
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(repeated, 0);
}

}  // namespace
}  // namespace fr::emu::test
