// fr-cli replay: a debug log read back, its values rebuilt, and the hand-made shop log (code page
// 1251, CR LF, two objects interleaved, a cut last line) replayed on the emulator.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "automation/Text.h"
#include "replay/DebugLogFile.h"
#include "replay/LogRebuild.h"
#include "replay/LogReplay.h"

using namespace fr;
using namespace fr::replay;
namespace fs = std::filesystem;

namespace {

// The formats the driver writes its log in.
TFormatSettings driverFormats() {
    TFormatSettings f = TFormatSettings::russian();
    f.DecimalSeparator = u'.';
    f.ShortDateFormat = u"yyyy mm dd";
    f.LongTimeFormat = u"hh mm ss";
    return f;
}

const fs::path kShopLog = fs::path(FR_REPLAY_FIXTURES) / "shop.log";

struct RebuildCase {
    const char* method;
    const char* text;
    const char* shape;  // the rebuilt value: each element's VARTYPE and its text
    const char* guess;  // a note that must be among the guesses, or "" for none at all
};

// Each element of a one- or two-dimensional rebuilt array as "type:text", first index fastest.
std::string shape(const Variant& v) {
    auto one = [](const Variant& e) {
        return std::to_string(e.vartype()) + ":" + (e.isEmptyOrNull() ? "" : u8(e.toText(driverFormats())));
    };
    if (!v.isArray()) return one(v);
    std::string s;
    for (const Variant& e : v.array().items()) s += (s.empty() ? "" : " | ") + one(e);
    return s;
}

void PrintTo(const RebuildCase& c, std::ostream* os) { *os << c.method << " " << c.text; }

class Rebuild : public testing::TestWithParam<RebuildCase> {};

TEST_P(Rebuild, TypesAsTheDriverTakesThem) {
    const RebuildCase& c = GetParam();
    const LogRebuild r = RebuildLogValue(u16(c.text), InDataHints(u16(c.method)), driverFormats());
    ASSERT_TRUE(r.value) << u8(r.failure);
    EXPECT_EQ(shape(*r.value), c.shape);
    std::string all;
    for (const auto& g : r.guesses) all += u8(g) + "\n";
    if (*c.guess) EXPECT_NE(all.find(c.guess), std::string::npos) << all;
    else EXPECT_EQ(all, "");
}

// 3 I4, 5 R8, 6 CY, 7 DATE, 8 BSTR, 11 BOOL, 0 EMPTY, 1 NULL.
INSTANTIATE_TEST_SUITE_P(Cases, Rebuild, testing::Values(
    RebuildCase{"Encash", "[(1; 5000)]", "3:1 | 6:5000", "[1] → currency"},
    RebuildCase{"Encash", "[(0; 70000.55)]", "3:0 | 6:70000.55", "[1] → currency"},
    RebuildCase{"PrintText", "[(70000; -32768)]", "3:70000 | 3:-32768", ""},
    RebuildCase{"PrintText", "[(0.5)]", "5:0.5", "[0] → double"},
    RebuildCase{"PrintText", "[('a; b'; 'c')]", "8:a; b | 8:c", ""},
    RebuildCase{"PrintText", "[('x 'y'; z'; 1)]", "8:x 'y'; z | 3:1", "«x 'y'; z» прочитан одним текстом"},
    RebuildCase{"PrintText", "[('a\\nb')]", "8:a\r\nb", "\\n → CR LF"},
    RebuildCase{"SetDateTime", "[(2026 12 09 09 03 00; 2026 12 09)]", "7:2026 12 09 09 03 00 | 7:2026 12 09", ""},
    RebuildCase{"PrintText", "[(True; False; EMPTY; NULL)]", "11:True | 11:False | 0: | 1:", ""},
    RebuildCase{"PrintText", "[((1; 2)(3; 4))]", "3:1 | 3:2 | 3:3 | 3:4", ""},
    RebuildCase{"PrintText", "[(; 1)]", "0: | 3:1", "[0] (не записано) → EMPTY"},
    // Rows of a table are as long: that decides where a text with "'; '" in it ends.
    RebuildCase{"PrintText", "[(('x'; 'y'; 1)('p'; 2))]", "8:x'; 'y | 3:1 | 8:p | 3:2", "«x'; 'y» прочитан одним текстом"}));

TEST(RebuildTable, AmountsOfAReceiptAreCurrencyCountsIntegers) {
    const LogRebuild r = RebuildLogValue(u"[([(('a'; ''; EMPTY; 1; 10; 2; EMPTY; 0.5; 0; 0; 2))]; [((3; 12))]; [(1; True; EMPTY; 0; 12)])]",
                                         InDataHints(u"printreceipt"), driverFormats());
    ASSERT_TRUE(r.value) << u8(r.failure);
    const VariantArray& in = r.value->array();
    const VariantArray& items = in.at(0).array();
    EXPECT_EQ(items.bounds().at(0).count, 11u);
    EXPECT_EQ(items.at({3, 0}).type(), VarType::I4);   // department
    EXPECT_EQ(items.at({4, 0}).type(), VarType::CY);   // price
    EXPECT_EQ(items.at({5, 0}).type(), VarType::I4);   // quantity, as it reads
    EXPECT_EQ(items.at({7, 0}).toCurrency(), 5000);    // discount 0.5
    EXPECT_EQ(items.at({10, 0}).type(), VarType::I4);  // tax group
    EXPECT_EQ(in.at(1).array().at({0, 0}).type(), VarType::I4);
    EXPECT_EQ(in.at(1).array().at({1, 0}).type(), VarType::CY);
    EXPECT_EQ(in.at(2).array().at(0).type(), VarType::I4);
    EXPECT_EQ(in.at(2).array().at(4).type(), VarType::CY);
}

// A wholesale receipt: its goods table in one line of the log.
TEST(RebuildTable, AThousandGoodsRead) {
    std::u16string rows;
    for (int r = 0; r < 1000; ++r)
        rows += u"('Товар; номер " + utf8ToUtf16(std::to_string(r)) +
                u"'; ''; EMPTY; 1; 12.5; 1; EMPTY; 0; 0; 0; 1; EMPTY; EMPTY; EMPTY; EMPTY; EMPTY; EMPTY; ''; EMPTY)";
    const LogRebuild r = RebuildLogValue(u"[([(" + rows + u")]; [((0; 12500))]; [(0; True; EMPTY; 0; 12500)])]",
                                         InDataHints(u"PrintReceipt"), driverFormats());
    ASSERT_TRUE(r.value) << u8(r.failure);
    const VariantArray& items = r.value->array().at(0).array();
    EXPECT_EQ(items.bounds().at(1).count, 1000u);
    EXPECT_EQ(items.at({0, 999}).toText(), u"Товар; номер 999");
    EXPECT_EQ(items.at({4, 999}).toCurrency(), 125000);
}

TEST(RebuildValue, WhatCannotBeRebuiltIsRefused) {
    for (const char16_t* text : {u"[($00AB12CD)]", u"[(1; 2)", u"[('open)]", u"[((1; 2)(3))]", u"[(abc)]"})
        EXPECT_FALSE(RebuildLogValue(text, {}, driverFormats()).value) << u8(text);
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DebugLogFile, TheShopLogAsTheDriverWroteIt) {
    const std::string bytes = readAll(kShopLog);
    ASSERT_NE(bytes.find("\r\n"), std::string::npos);
    ASSERT_NE(bytes.find('\xEC'), std::string::npos) << "code page 1251";  // "м"
    const DebugLogRead log = ParseDebugLog(bytes);
    ASSERT_EQ(log.error, u"");
    std::vector<std::string> seen;
    for (const LogEvent& e : log.events) {
        const std::string id = u8(e.instance.substr(1, 4));
        if (e.kind == LogEvent::Kind::Header) seen.push_back("header " + id);
        else seen.push_back(u8(e.method) + " " + id + (e.ended ? "" : " (no end)"));
    }
    const std::vector<std::string> expected = {
        "header 6F96", "OpenDay 6F96", "header 0A1B", "Encash 0A1B", "PrintReceipt 6F96", "SetDateTime 0A1B",
        "PrintText 6F96", "Frobnicate 0A1B", "PrintDocumentCopy 0A1B", "GetDateTime 6F96", "PrintXReport 6F96", "PrintZReport 6F96 (no end)"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(log.events[0].settings.size(), 4u);
    EXPECT_EQ(log.events[0].deviceId, u"kassa-1");
    EXPECT_EQ(log.events[0].settings[2].value, u"'Иванова'");
    ASSERT_EQ(log.notes.size(), 1u);
    EXPECT_EQ(log.notes[0], u"строка 38: обрезана (нет конца строки), не прочитана");
}

TEST(DebugLogFile, AFileThatIsNoLogNamesItsLine) {
    const DebugLogRead log = ParseDebugLog(
        "2026.12.09 09:00:00.000 Inst.: {A}\t> OpenDay: \tInData: EMPTY\r\nnot a log line\r\n");
    EXPECT_EQ(log.error, u"строка 2: не строка отладочного журнала");
    EXPECT_EQ(log.errorLine, 2);
}

TEST(DebugLogFile, AnEmptyFileIsNoLog) {
    EXPECT_EQ(ParseDebugLog("").error, u"строка 1: в файле нет ни одной целой строки");
    EXPECT_EQ(ParseDebugLog("2026.12.09 09:00:00.000 Inst.: {A}\t< OpenDay: \tResult=True; OutData: EMPTY\r\n").error,
              u"в журнале нет ни одного вызова");
}

// A log given as text replayed in a folder of its own, which is gone afterwards.
struct TextReplay {
    std::string out;
    ReplaySummary summary;
    std::string faults;  // the faults file it wrote, if any
};
TextReplay replayText(const std::string& log, const char* name, bool faults = false) {
    const auto folder = fs::temp_directory_path() / (std::string("fr-replay-test-") + name);
    fs::remove_all(folder);
    ReplayOptions o;
    o.folder = folder;
    o.faults = faults;
    std::ostringstream out;
    TextReplay r;
    r.summary = RunReplay(ParseDebugLog(log), o, out);
    r.out = out.str();
    r.faults = readAll(folder / "faults.txt");
    fs::remove_all(folder);
    return r;
}

// The day's file begins at midnight while the program runs: no header, the driver's defaults.
TEST(Replay, AnObjectWithoutHeaderRunsOnDefaults) {
    const TextReplay r = replayText(
        "2026.12.10 00:00:01.000 Inst.: {A}\t> OpenDay: \tInData: EMPTY\r\n"
        "2026.12.10 00:00:01.100 Inst.: {A}\t< OpenDay: \tResult=True; OutData: [(2; 0; -1; 2026 12 10 00 00 01)]\r\n"
        "2026.12.10 00:00:02.000 Inst.: {A}\t> Close: \tParams: [()]\r\n"
        "2026.12.10 00:00:02.100 Inst.: {A}\t< Close: \tResult=True; Params: [()]\r\n",
        "no-header");
    EXPECT_NE(r.out.find("00:00:01.000 #1 Enable (заголовка в журнале нет, настройки драйвера по умолчанию): повтор True"),
              std::string::npos) << r.out;
    EXPECT_EQ(r.summary.matched, 1) << r.out;
    // Close is the host's own business with its object: shown, not replayed, not a skipped call.
    EXPECT_NE(r.out.find("00:00:02.000 #1 Close: строка 3: Init, Open и Close не повторяются"), std::string::npos);
    EXPECT_EQ(r.summary.skipped, 0);
    EXPECT_EQ(r.summary.privateCalls, 1);
}

// A setting the driver does not have, or whose value cannot be read, is named under the header;
// the others are still set.
TEST(Replay, TheHeaderNamesTheSettingsItCouldNotApply) {
    const std::string at = "2026.12.10 08:00:00.000 Inst.: {A}\t";
    const TextReplay r = replayText(
        at + "============Begin debug log=============\r\n" +
        at + "----------------Settings----------------\r\n" +
        at + "Frobnicator: \t5\r\n" +
        at + "DefCashierName: \t[('open)]\r\n" +
        at + "MaxReceiptRowLength: \t48\r\n" +
        at + "----------------------------------------\r\n",
        "header");
    EXPECT_TRUE(std::regex_search(r.out, std::regex(
        "#1 Enable \\(заголовок, строка 1, настроек: 3\\): повтор True EMPTY\n"
        "    строка 3: настройки Frobnicator у драйвера нет\n"
        "    строка 4: DefCashierName: [^\n]+\n")))
        << r.out;
    EXPECT_EQ(r.out.find("SetSettings"), std::string::npos) << r.out;
    EXPECT_EQ(r.summary.skipped, 0);
}

class ShopReplay : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("fr-replay-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string replay(bool faults, bool stopOnDiff = false) {
        ReplayOptions o;
        o.folder = folder;
        o.faults = faults;
        o.stopOnDiff = stopOnDiff;
        std::ostringstream out;
        summary = RunReplay(ReadDebugLog(kShopLog), o, out);
        return out.str();
    }

    fs::path folder;
    ReplaySummary summary;
};

// One line a call: its time, its object, the logged and the replayed answer and the mark.
TEST_F(ShopReplay, EachCallAnswersAsLoggedOrSaysWhy) {
    const std::string out = replay(false);
    const char* expected[] = {
        R"(09:00:01.000 #1 OpenDay: журнал True \[\(1; 0; -1; 2026 12 09 09 00 01\)\] \| повтор True \[\(1; 0; -1; [0-9 ]+\)\] =)",
        R"(09:01:00.001 #2 Enable \(заголовок, строка 14, настроек: 2\): повтор True EMPTY\n    модель 3 заменена эмулятором \(8\))",
        R"(09:02:00.000 #2 Encash: журнал True [^\n]* \| повтор True [^\n]* =\n    догадки: \[1\] → currency\n)",
        R"(09:02:00.000 #1 PrintReceipt: [^\n]* =\n    догадки: [^\n]*«Молоко 'Домик'; 1 л» прочитан одним текстом)",
        R"(09:03:00.000 #2 SetDateTime: журнал True EMPTY \| повтор True EMPTY =)",
        R"(09:04:00.000 #1 PrintText: журнал True EMPTY \| повтор True EMPTY =\n    догадки: \\n → CR LF)",
        R"(09:05:00.000 #2 Frobnicate: пропущен: строка 29: у драйвера нет такого метода)",
        // Both failed, with other codes.
        R"(09:05:30.000 #2 PrintDocumentCopy: журнал False \[\(1004; [^\n]* \| повтор False \[\(1003; [^\n]* ≠)",
        // The register's clock differs from the shop's: shown, not counted.
        R"(09:06:00.000 #1 GetDateTime: журнал True \[\(2026 12 09 09 06 00\)\] \| повтор True \[\([0-9 ]+\)\] =)",
        R"(09:07:00.000 #1 PrintXReport: журнал False \[\(1; 'Перегрев печатающей головки \[1\]'\)\] \| повтор True [^\n]* ≠)",
        R"(09:08:00.000 #1 PrintZReport: журнал \(конец не записан\) \| повтор True [^\n]* \?)",
        // The tape the replay printed: the receipt with its item's extra line.
        R"(Молоко 'Домик'; 1 л\n[^\n]*\n[^\n]*\nАкция\s+до 31\.12\n)",
    };
    for (const char* e : expected) EXPECT_TRUE(std::regex_search(out, std::regex(e))) << e << "\n---\n" << out;
    EXPECT_EQ(summary.replayed, 9);
    EXPECT_EQ(summary.matched, 6);
    EXPECT_EQ(summary.differed, 2);
    EXPECT_EQ(summary.notCompared, 1);
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_FALSE(fs::exists(folder / "faults.txt"));
}

// The register's error of the log made again at the same call, and the rule kept for the day.
TEST_F(ShopReplay, FaultsMakeTheRegisterErrorAgain) {
    const std::string out = replay(true);
    EXPECT_TRUE(std::regex_search(out, std::regex(
        R"(#1 PrintXReport: журнал False [^\n]* \| повтор False \[\(1; 'Перегрев печатающей головки \[1\]'\)\] =)")))
        << out;
    // The driver's own error (above 1000) is not the register's: it is not made again.
    EXPECT_EQ(summary.differed, 1);
    EXPECT_EQ(summary.faults, 1);
    const std::string rules = readAll(folder / "faults.txt");
    EXPECT_NE(rules.find("\nfail printXReport 1 1 Перегрев печатающей головки\n"), std::string::npos) << rules;
}

// The shop retried: the same register error twice in a row on one object, made again both times.
TEST(Replay, TheSameErrorTwiceInARow) {
    std::string log;
    for (int i = 0; i < 2; ++i)
        log += "2026.12.10 10:00:0" + std::to_string(i) + ".000 Inst.: {A}\t> PrintXReport: \tInData: EMPTY\r\n"
               "2026.12.10 10:00:0" + std::to_string(i) + ".100 Inst.: {A}\t< PrintXReport: \tResult=False; OutData: [(40; 'Ошибка принтера [40]')]\r\n";
    const TextReplay r = replayText(log, "twice", true);
    EXPECT_EQ(r.summary.matched, 2) << r.out;
    EXPECT_NE(r.faults.find("\nfail printXReport 1 40 Ошибка принтера\n"), std::string::npos) << r.faults;
    EXPECT_NE(r.faults.find("\nfail printXReport 2 40 Ошибка принтера\n"), std::string::npos) << r.faults;
}

// A call that raised in the shop ended with an EXCEPTION line: that is its answer, and a replay
// that answers instead differs.
TEST(Replay, ALoggedExceptionIsTheCallsAnswer) {
    const TextReplay r = replayText(
        "2026.12.10 10:00:00.000 Inst.: {A}\t> PrintXReport: \tInData: EMPTY\r\n"
        "2026.12.10 10:00:00.200 Inst.: {A}\tEXCEPTION: \tEOleSysError: Нет связи\r\n",
        "exception");
    EXPECT_TRUE(std::regex_search(r.out, std::regex(
        R"(10:00:00.000 #1 PrintXReport: журнал EXCEPTION EOleSysError: Нет связи \| повтор True [^\n]* ≠)")))
        << r.out;
    EXPECT_EQ(r.out.find("вне вызова"), std::string::npos) << r.out;
    EXPECT_EQ(r.summary.differed, 1);
}

TEST_F(ShopReplay, StopsAtTheFirstDifference) {
    const std::string out = replay(false, true);
    EXPECT_EQ(summary.replayed, 6);  // up to PrintDocumentCopy
    EXPECT_EQ(out.find("GetDateTime"), std::string::npos);
    EXPECT_NE(out.find("Лента повтора"), std::string::npos);
}

TEST(WithinTimes, TimeOfDayOrFullStamp) {
    const std::u16string t = u"2026.12.09 09:05:30.250";
    EXPECT_TRUE(WithinTimes(t, u"09:05", u"09:05"));
    EXPECT_TRUE(WithinTimes(t, u"09:05:30", u""));
    EXPECT_FALSE(WithinTimes(t, u"09:06", u""));
    EXPECT_FALSE(WithinTimes(t, u"", u"09:05:29"));
    EXPECT_TRUE(WithinTimes(t, u"2026.12.09 09:00", u"2026.12.09 10:00"));
    EXPECT_FALSE(WithinTimes(t, u"2026.12.10 00:00", u""));
}

}  // namespace
