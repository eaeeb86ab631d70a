// The journal's file and the fingerprint of a host's input: what is kept, where, how a damaged
// file is set aside without stopping the sale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "ScriptedRegister.h"
#include "adapter/uInDataFingerprint.h"
#include "adapter/uMoneyJournal.h"
#include "dispatch/uDebugLog.h"
#include "platform/Platform.h"
#include "support/PlantedLink.h"

using namespace fr;
using namespace fr::test;
namespace fs = std::filesystem;

namespace {
std::string fp(const Variant& v) { return FingerprintText(InDataFingerprint({&v})); }

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) out.push_back(e.path());
    return out;
}

void writeText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}
}  // namespace

// A host that builds its tables again for a retry may use other types for the same values.
TEST(MoneyJournal, FingerprintSeesEveryCellsValueNotItsType) {
    const Variant sale = saleInData(10);
    // Fixed: the same input gives the same text on every build and bitness, in every process.
    EXPECT_EQ(fp(sale), fp(saleInData(10)));
    EXPECT_EQ(fp(sale), "cbb0416e158ea8b3");
    // Journals of format 1 hold the fingerprint by type; it stays as it was, to know their retries.
    EXPECT_EQ(FingerprintText(InDataFingerprintByType({&sale})), "3431c1cd5c9d8f1b");

    auto changed = [&](auto edit) {
        Variant v = sale;
        edit(v.array());
        return fp(v);
    };
    auto items = [](VariantArray& a) -> VariantArray& { return a.at(0).array(); };
    auto decimal = [](uint64_t digits, uint8_t scale, bool negative = false) {
        Decimal d;
        d.lo64 = digits, d.scale = scale, d.negative = negative;
        return Variant::decimal(d);
    };
    const std::pair<const char*, std::string> same[] = {
        {"the price as a Double", changed([&](auto& a) { items(a).at({4, 0}) = Variant(10.0); })},
        {"the price as a Decimal of scale 2", changed([&](auto& a) { items(a).at({4, 0}) = decimal(1000, 2); })},
        {"the price as a Decimal of scale 6, rounded", changed([&](auto& a) { items(a).at({4, 0}) = decimal(10000049, 6); })},
        {"the price as a Long", changed([&](auto& a) { items(a).at({4, 0}) = Variant(10); })},
        {"the price as a Single", changed([&](auto& a) { items(a).at({4, 0}) = Variant::ofReal4(10.0f); })},
        {"the quantity as a Long", changed([&](auto& a) { items(a).at({5, 0}) = Variant(1); })},
        {"the quantity as an unsigned 64-bit", changed([&](auto& a) { items(a).at({5, 0}) = Variant::ofUInt64(1); })},
        {"the tax group as a Byte", changed([&](auto& a) { items(a).at({10, 0}) = Variant::ofInt(VarType::UI1, 1); })},
        {"an empty cell made null", changed([&](auto& a) { items(a).at({2, 0}) = Variant::null(); })},
    };
    for (const auto& [what, other] : same) EXPECT_EQ(other, fp(sale)) << what;
    const std::pair<Variant, Variant> alike[] = {
        {Variant(2.5), Variant::currency(25000)},
        {Variant(2.50001), Variant::currency(25000)},
        {Variant(-0.00001), Variant(0)},
        {decimal(25, 1), decimal(25000, 4)},
        {decimal(25, 1, true), Variant(-2.5)},
        {Variant(1.03125), Variant::currency(10312)},  // exact ties go to even, as the currency conversion does
        {Variant(1.09375), Variant::currency(10938)},
        {Variant(-0.0), Variant(0.0)},
        {Variant::ofInt(VarType::I8, -7), Variant::ofInt(VarType::I2, -7)},
    };
    for (const auto& [a, b] : alike) EXPECT_EQ(fp(a), fp(b)) << u8(a.toText()) << " / " << u8(b.toText());

    const std::pair<const char*, std::string> differ[] = {
        {"price", fp(saleInData(10.01))},
        {"name", fp(saleInData(10, u"Хлеб ржаной"))},
        {"the price one ten-thousandth up", changed([&](auto& a) { items(a).at({4, 0}) = Variant::currency(100001); })},
        {"the price as a text", changed([&](auto& a) { items(a).at({4, 0}) = Variant(u"10"); })},
        {"the price negated", changed([&](auto& a) { items(a).at({4, 0}) = Variant::currency(-100000); })},
        {"an empty cell made zero", changed([&](auto& a) { items(a).at({2, 0}) = Variant(0); })},
        {"an empty cell made False", changed([&](auto& a) { items(a).at({2, 0}) = Variant(false); })},
        {"a document number in a cell the driver ignores", changed([&](auto& a) { items(a).at({18, 0}) = Variant(u"42"); })},
        {"the cashier", changed([&](auto& a) { a.at(2).array().at(12) = Variant(u"Петрова"); })},
        {"a table's lower bound", changed([&](auto& a) {
             VariantArray moved({ArrayBound{1, 19}, ArrayBound{0, 1}});
             moved.items() = items(a).items();
             a.at(0) = Variant(std::move(moved));
         })},
        {"two cells swapped", changed([&](auto& a) { std::swap(items(a).at({4, 0}), items(a).at({10, 0})); })},
    };
    for (const auto& [what, other] : differ) EXPECT_NE(other, fp(sale)) << what;
    EXPECT_NE(fp(Variant(u"1")), fp(Variant(1)));
    EXPECT_NE(fp(Variant(true)), fp(Variant(-1)));
    EXPECT_NE(fp(Variant::date(46000.5)), fp(Variant(46000.5)));
    EXPECT_NE(fp(Variant(1e30)), fp(Variant(1e30 * (1 + 1e-15))));  // beyond the magnitudes, by bits
}

TEST(MoneyJournal, RecordsSurviveTheFileAndOnlyTheLastSettledAreKept) {
    TempFolder dir;
    TMoneyJournal j(dir.text());
    TMoneyRecord open;
    open.Kind = TMoneyKind::mkWithdrawal;
    open.Fingerprint = "0123456789abcdef";
    open.Sum = 300000;
    open.Baseline = {7, 3, 1234500};
    open.State = TMoneyState::msUnknown;
    open.Answer = {7, 4, -1, 46000.5};
    open.Begun = "2026-12-11 10:00:00";
    j.Add(open);
    for (int i = 0; i < 20; ++i) {
        TMoneyRecord done;
        done.State = TMoneyState::msSettled;
        done.Outcome = TMoneyOutcome::moDone;
        j.Add(done);
    }
    j.Save();

    TMoneyJournal again(dir.text());
    EXPECT_EQ(u8(again.Load()), "");
    // The open record is never pruned; of the settled ones the newest few stay.
    ASSERT_EQ(again.Records().size(), 1 + TMoneyJournal::kKeptSettled);
    const TMoneyRecord& r = again.Records().front();
    EXPECT_EQ(r.Id, 1u);
    EXPECT_EQ(r.Kind, TMoneyKind::mkWithdrawal);
    EXPECT_EQ(r.Fingerprint, "0123456789abcdef");
    EXPECT_EQ(r.Sum, 300000);
    EXPECT_EQ(r.Baseline.Shift, 7);
    EXPECT_EQ(r.Baseline.Receipt, 3);
    EXPECT_EQ(r.Baseline.Cash, 1234500);
    EXPECT_EQ(r.State, TMoneyState::msUnknown);
    EXPECT_EQ(r.Answer.RecNum, 4);
    EXPECT_EQ(r.Answer.RecDate, 46000.5);
    EXPECT_EQ(r.Begun, "2026-12-11 10:00:00");
    EXPECT_EQ(again.Records().back().Id, 21u);
    EXPECT_EQ(again.Pending(), &again.Records().front());
    // Numbers go on after the pruned ones.
    EXPECT_EQ(again.Add({}).Id, 22u);
}

TEST(MoneyJournal, ADamagedJournalIsSetAsideAndTheSaleGoesOn) {
    const std::pair<const char*, std::string> cases[] = {
        {"not JSON", "\x01\x02 garbage"},
        {"cut short", "{\"format\": 1, \"next\": 2, \"records\": [{\"id\": 1, \"kind\": \"receipt\""},
        {"another format", "{\"format\": 3, \"next\": 1, \"records\": []}"},
        {"an unknown state",
         "{\"format\":1,\"next\":2,\"records\":[{\"id\":1,\"kind\":\"receipt\",\"fingerprint\":\"x\",\"sum\":0,"
         "\"baseline\":{\"shift\":7,\"receipt\":3,\"cash\":0},\"state\":\"lost\",\"outcome\":\"none\","
         "\"answer\":{\"shift\":-1,\"receipt\":-1,\"document\":-1,\"date\":0},\"begun\":\"\"}]}"},
        {"a field of the wrong type", "{\"format\": 1, \"next\": \"two\", \"records\": []}"},
    };
    for (const auto& [what, text] : cases) {
        DriverHost<TLogRecordingDriver> h;
        ScriptedRegister reg(*h.fake);
        const fs::path file = fs::path(h.driver->JournalFolder()) / "money-journal.json";
        writeText(file, text);
        EXPECT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0) << what;
        EXPECT_EQ(reg.printed, 1) << what;
        EXPECT_TRUE(h.driver->logged("повреждён")) << what;
        const auto files = filesIn(file.parent_path());
        ASSERT_EQ(files.size(), 3u) << what;  // the new journal, the one set aside and the lock
        bool asideKept = false;
        for (const auto& f : files)
            if (f.filename().string().rfind("money-journal.json.damaged-", 0) == 0)
                asideKept = platform::readWholeFile(f.u16string()) == text;
        EXPECT_TRUE(asideKept) << what;
        TMoneyJournal fresh(h.driver->JournalFolder());
        EXPECT_EQ(u8(fresh.Load()), "") << what;
        EXPECT_EQ(fresh.Records().size(), 1u) << what;
    }
}

// The journal belongs to the register: under the common data folder, named after its serial
// number (or the device ID when it gives none); a journal an earlier version kept in the device's
// folder is carried over once, with what it still has to settle.
TEST(MoneyJournal, ItBelongsToTheRegisterAndEarlierDeviceJournalsAreCarriedOver) {
    TempFolder data;
#ifndef _WIN32
    const std::u16string savedHome = platform::environmentVariable(u"XDG_DATA_HOME");
    ::setenv("XDG_DATA_HOME", (data.path / "common").string().c_str(), 1);
#endif
    const fs::path journals = fs::path(GetCommonLogFolder()) / "Journals";
    for (bool serial : {true, false}) {
        SCOPED_TRACE(serial ? "with a serial number" : "without one");
        DriverHost<TLogRecordingDriver> h;
        h.driver->SetJournalRoot(u"");  // where the driver chooses
        ScriptedRegister reg(*h.fake);
        if (!serial) h.fake->values[u"SN"] = Variant(u"");
        h.manager->properties[u"DevicesFolder"] = data.path.u16string() + u"/devices";
        // What an earlier version left in the device's folder: a receipt whose answer was lost,
        // made on the register meanwhile (its counter stands one above the baseline).
        const Variant sale = saleInData(10);
        const fs::path old = data.path / "devices" / "dev-1" / "money-journal.json";
        writeText(old, "{\"format\":1,\"next\":2,\"records\":[{\"id\":1,\"kind\":\"receipt\",\"fingerprint\":\"" +
                           FingerprintText(InDataFingerprintByType(
                               {&sale.array().at(0), &sale.array().at(1), &sale.array().at(2)})) +
                           "\",\"sum\":0,\"baseline\":{\"shift\":7,\"receipt\":3,\"cash\":0},\"state\":\"unknown\","
                           "\"outcome\":\"none\",\"answer\":{\"shift\":-1,\"receipt\":-1,\"document\":-1,\"date\":0},"
                           "\"begun\":\"2026-12-11 09:00:00\"}]}");
        reg.last = 4;
        std::u16string d;
        ASSERT_TRUE(h.open(d)) << u8(d);
        ASSERT_EQ(h.call(u"Enable"), 0);
        // The retry is answered from the carried-over record: nothing printed.
        ASSERT_EQ(h.call(u"PrintReceipt", sale), 0);
        EXPECT_EQ(reg.printed, 0);
        EXPECT_EQ(h.out.array().at(1), Variant(4));
        const fs::path expected = journals / (serial ? "SN-0012345678" : "dev-1") / "money-journal.json";
        EXPECT_TRUE(fs::exists(expected)) << expected;
        EXPECT_EQ(fs::path(h.driver->JournalFolder()) / "money-journal.json", expected);
        EXPECT_FALSE(fs::exists(old));
        EXPECT_TRUE(h.driver->logged("перенесён в журнал ККТ"));
        TMoneyJournal now(h.driver->JournalFolder());
        EXPECT_EQ(u8(now.Load()), "");
        ASSERT_EQ(now.Records().size(), 1u);
        EXPECT_TRUE(now.Records()[0].Answered);
        EXPECT_EQ(now.Records()[0].Outcome, TMoneyOutcome::moDone);
        // A later sale carries the register's serial number and the device ID.
        ASSERT_EQ(h.call(u"PrintReceipt", saleInData(20)), 0);
        TMoneyJournal after(h.driver->JournalFolder());
        after.Load();
        EXPECT_EQ(after.Records().back().Serial, serial ? u"0012345678" : u"");
        EXPECT_EQ(after.Records().back().Device, u"dev-1");
        fs::remove_all(journals);
    }
#ifndef _WIN32
    if (savedHome.empty()) ::unsetenv("XDG_DATA_HOME");
    else ::setenv("XDG_DATA_HOME", u8(savedHome).c_str(), 1);
#endif
}

// Anyone who may write in the journal's folder can lay links under the journal's name and under
// its temporary file's: the sale goes on, neither linked file changes, the journal is a file of
// its own again, and the debug log tells what was found.
TEST(MoneyJournal, LinksLaidAsTheJournalOrItsTemporaryFileAreNeverFollowed) {
    const std::string elses = "{\"format\": 1, \"next\": 7, \"records\": []}\n";
    for (LinkKind kind : {LinkKind::Hard, LinkKind::Symbolic}) {
        SCOPED_TRACE(linkKindName(kind));
        TempFolder others;
        DriverHost<TLogRecordingDriver> h;
        ScriptedRegister reg(*h.fake);
        const fs::path file = fs::path(h.driver->JournalFolder()) / "money-journal.json";
        fs::create_directories(file.parent_path());
        std::string why;
        bool planted = true;
        for (const char* name : {"journal", "temporary"}) {
            writeText(others.path / name, elses);
            planted = planted && plantLink(kind, others.path / name,
                                           std::string(name) == "journal" ? file : fs::path(file.string() + ".tmp"), why);
        }
        if (!planted) {
            std::cout << "[ SKIPPED  ] " << why << "\n";
            continue;
        }
        EXPECT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0);
        EXPECT_EQ(reg.printed, 1);
        for (const char* name : {"journal", "temporary"})
            EXPECT_EQ(platform::readWholeFile((others.path / name).u16string()), elses) << name;
        EXPECT_EQ(platform::checkOwnFile(file.u16string()).State, platform::OwnFileCheck::Own);
        EXPECT_TRUE(h.driver->logged("Под именем журнала денежных операций"));
        TMoneyJournal fresh(h.driver->JournalFolder());
        EXPECT_EQ(u8(fresh.Load()), "");
        ASSERT_EQ(fresh.Records().size(), 1u);  // this sale's record: the linked file held none
        EXPECT_EQ(fresh.Records()[0].Id, 7u);   // but its records were read, numbering included
    }
}
