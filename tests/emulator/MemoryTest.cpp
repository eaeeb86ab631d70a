// An emulator folder kept in memory (the fuzz target's mode): the register behaves as on disk,
// faults included, and nothing reaches the disk. A process of its own: the mode cannot be undone.
#include "EmuTestSupport.h"

#include "uEmuErrors.h"
#include "uEmuFiles.h"

namespace fr::emu::test {
namespace {

namespace fs = std::filesystem;
Variant i4(int32_t v) { return Variant(v); }

class Memory : public EmuTest {
protected:
    void SetUp() override {
        EmuTest::SetUp();
        files::keepInMemory();
        FFolder = FDir / "register";
    }
    std::string tapeText() { return files::read(FFolder / "tape.txt").value_or(""); }
    fs::path FFolder;
};

TEST_F(Memory, StateTapeAndFaultsLiveInMemoryOnly) {
    files::replace(FFolder / "faults.txt", "after endFiscalReceipt 1 3001\n");
    std::u16string sn;
    {
        Session s(FFolder);
        s.connect();
        sn = s.ok(u"SN").toText();
        s.ok(u"printNullReceipt");
        s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
        s.ok(u"printRecItem", {Variant(u"Товар"), money("10"), Variant(1.0), i4(0)});
        s.ok(u"printRecTotal", {money("10"), i4(0)});
        s.call(u"endFiscalReceipt");
        EXPECT_EQ(s.lastError(), ecPaperOut);
    }
    EXPECT_FALSE(fs::exists(FFolder));
    EXPECT_NE(tapeText().find("ЧЕК 1"), std::string::npos);

    // A document the process did not finish printing is completed by the next start, as on disk.
    const std::string full = tapeText();
    ASSERT_TRUE(files::truncate(FFolder / "tape.txt", full.size() - 10));
    {
        Session s(FFolder);
        s.connect();
        EXPECT_EQ(s.ok(u"SN").toText(), sn);
        EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 1);
        EXPECT_EQ(s.ok(u"Cash"), money("10"));
    }
    EXPECT_EQ(tapeText(), full);

    TEmuStore(FFolder).reset();
    Session s(FFolder);
    s.connect();
    EXPECT_NE(s.ok(u"SN").toText(), sn);
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 0);
    EXPECT_FALSE(fs::exists(FFolder));
}

}  // namespace
}  // namespace fr::emu::test
