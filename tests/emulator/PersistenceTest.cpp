// The state survives restarts, a damaged state file is refused and kept, and a document the
// process did not finish printing is completed on the next start.
#include "EmuTestSupport.h"

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

TEST_F(Persistence, RestartKeepsShiftCountersCashAndSerial) {
    std::u16string sn;
    {
        Session s(FDir);
        s.connect();
        sn = s.ok(u"SN").toText();
        s.ok(u"printNullReceipt");
        sell(s, "120.50");
        sell(s, "10");
        // A receipt left open when the program ends is annulled: none of it was committed.
        s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
        s.ok(u"printRecItem", {Variant(u"Незавершённый"), money("99"), Variant(1.0), i4(0)});
    }
    Session s(FDir);
    s.connect();
    EXPECT_EQ(s.ok(u"SN").toText(), sn);
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 1);
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 2);
    EXPECT_EQ(s.ok(u"Cash"), money("130.50"));
    sell(s, "1");
    const TEmuState st = saved();
    EXPECT_EQ(st.documentNumber, 4);
    EXPECT_EQ(st.shift.salesCount, 3);
    EXPECT_EQ(st.shift.sales, 13150);
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

}  // namespace
}  // namespace fr::emu::test
