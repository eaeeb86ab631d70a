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

TEST(MoneyJournal, FingerprintSeesEveryCellsTypeAndValue) {
    const Variant sale = saleInData(10);
    // Fixed: the same input gives the same text on every build and bitness, in every process.
    EXPECT_EQ(fp(sale), fp(saleInData(10)));
    EXPECT_EQ(fp(sale), "3431c1cd5c9d8f1b");
    EXPECT_EQ(fp(Variant(u"Хлеб")), FingerprintText(InDataFingerprint({&sale.array().at(0).array().at({0, 0})})));

    auto changed = [&](auto edit) {
        Variant v = sale;
        edit(v.array());
        return fp(v);
    };
    auto items = [](VariantArray& a) -> VariantArray& { return a.at(0).array(); };
    const std::pair<const char*, std::string> differ[] = {
        {"price", fp(saleInData(10.01))},
        {"name", fp(saleInData(10, u"Хлеб ржаной"))},
        {"a quantity of the same value as another type", changed([&](auto& a) { items(a).at({5, 0}) = Variant(1); })},
        {"an empty cell made null", changed([&](auto& a) { items(a).at({2, 0}) = Variant::null(); })},
        {"the cashier", changed([&](auto& a) { a.at(2).array().at(12) = Variant(u"Петрова"); })},
        {"a table's lower bound", changed([&](auto& a) {
             VariantArray moved({ArrayBound{1, 19}, ArrayBound{0, 1}});
             moved.items() = items(a).items();
             a.at(0) = Variant(std::move(moved));
         })},
        {"two cells swapped", changed([&](auto& a) { std::swap(items(a).at({4, 0}), items(a).at({10, 0})); })},
    };
    for (const auto& [what, other] : differ) EXPECT_NE(other, fp(sale)) << what;
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
        {"another format", "{\"format\": 2, \"next\": 1, \"records\": []}"},
        {"an unknown state",
         "{\"format\":1,\"next\":2,\"records\":[{\"id\":1,\"kind\":\"receipt\",\"fingerprint\":\"x\",\"sum\":0,"
         "\"baseline\":{\"shift\":7,\"receipt\":3,\"cash\":0},\"state\":\"lost\",\"outcome\":\"none\","
         "\"answer\":{\"shift\":-1,\"receipt\":-1,\"document\":-1,\"date\":0},\"begun\":\"\"}]}"},
        {"a field of the wrong type", "{\"format\": 1, \"next\": \"two\", \"records\": []}"},
    };
    for (const auto& [what, text] : cases) {
        DriverHost<TLogRecordingDriver> h;
        ScriptedRegister reg(*h.fake);
        const fs::path file = h.journal.path / "money-journal.json";
        writeText(file, text);
        EXPECT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0) << what;
        EXPECT_EQ(reg.printed, 1) << what;
        EXPECT_TRUE(h.driver->logged("повреждён")) << what;
        const auto files = filesIn(h.journal.path);
        ASSERT_EQ(files.size(), 2u) << what;  // the new journal and the one set aside
        bool asideKept = false;
        for (const auto& f : files)
            if (f.filename().string().rfind("money-journal.json.damaged-", 0) == 0)
                asideKept = platform::readWholeFile(f.u16string()) == text;
        EXPECT_TRUE(asideKept) << what;
        TMoneyJournal fresh(h.journal.text());
        EXPECT_EQ(u8(fresh.Load()), "") << what;
        EXPECT_EQ(fresh.Records().size(), 1u) << what;
    }
}

TEST(MoneyJournal, ItLivesInTheDeviceFolderOrUnderTheCommonDataFolder) {
    TempFolder data;
    for (bool deviceFolder : {true, false}) {
        DriverHost<> h;
        h.driver->SetJournalFolder(u"");  // where the driver chooses
        ScriptedRegister reg(*h.fake);
        if (deviceFolder) h.manager->properties[u"DevicesFolder"] = data.path.u16string() + u"/devices";
        const std::string saved = platform::environmentVariable(u"XDG_DATA_HOME").empty()
                                      ? std::string()
                                      : u8(platform::environmentVariable(u"XDG_DATA_HOME"));
#ifndef _WIN32
        ::setenv("XDG_DATA_HOME", (data.path / "common").string().c_str(), 1);
#endif
        std::u16string d;
        ASSERT_TRUE(h.open(d)) << u8(d);
        ASSERT_EQ(h.call(u"PrintReceipt", saleInData(10)), 0);
        // Natively the common folder is under XDG_DATA_HOME: fr_vornlex/Journals/<device ID>.
        const fs::path expected = deviceFolder ? data.path / "devices" / "dev-1" / "money-journal.json"
                                               : fs::path(GetCommonLogFolder()) / "Journals" / "dev-1" /
                                                     "money-journal.json";
        EXPECT_TRUE(fs::exists(expected)) << expected;
        EXPECT_EQ(fs::path(h.driver->JournalFolder()) / "money-journal.json", expected);
#ifndef _WIN32
        if (saved.empty()) ::unsetenv("XDG_DATA_HOME");
        else ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
#endif
    }
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
        const fs::path file = h.journal.path / "money-journal.json";
        fs::create_directories(h.journal.path);
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
        TMoneyJournal fresh(h.journal.text());
        EXPECT_EQ(u8(fresh.Load()), "");
        EXPECT_EQ(fresh.Records().size(), 1u);  // this sale's record, nothing of the other file's
    }
}
