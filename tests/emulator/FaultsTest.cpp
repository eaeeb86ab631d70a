// Injected faults from the folder's faults file.
#include "EmuTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "automation/Errors.h"
#include "uEmuErrors.h"

namespace fr::emu::test {
namespace {

Variant i4(int32_t v) { return Variant(v); }

class Faults : public EmuTest {
protected:
    void faults(const std::string& text) { writeFile(FDir / "faults.txt", text); }
    void item(Session& s) {
        s.call(u"printRecItem", {Variant(u"Товар"), money("10"), Variant(1.0), i4(0)});
    }
    // A shift opened and a sale begun with one item.
    void saleWithItem(Session& s) {
        s.ok(u"printNullReceipt");
        s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
        item(s);
    }
};

TEST_F(Faults, NthCallFailsWithGivenCodeAndText) {
    faults("# the second item jams\nfail printRecItem 2 25 Ошибка печатающего устройства\n");
    Session s(FDir);
    s.connect();
    saleWithItem(s);
    EXPECT_EQ(s.lastError(), 0);
    item(s);
    EXPECT_EQ(s.lastError(), 25);
    EXPECT_EQ(s.lastErrorText(), u"Ошибка печатающего устройства");
    item(s);
    EXPECT_EQ(s.lastError(), 0);
    // The failed call did nothing: two items were taken.
    s.ok(u"printRecTotal", {money("20"), i4(3)});
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(saved().shift.sales, 2000);
}

TEST_F(Faults, CodeOneCarriesItsTextAsExtendedAndStarFailsEveryCall) {
    faults("fail GETTIME * 1 Часы ККТ неисправны\nfail start 1 7\n");
    Session s(FDir);
    s.call(u"start", {i4(100)});
    EXPECT_EQ(s.lastError(), 7);
    EXPECT_EQ(s.lastErrorText(), u"Ошибка 7");
    s.connect();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.call(u"GetTime").toText(), u"");
        EXPECT_EQ(s.lastError(), 1);
        EXPECT_EQ(s.lastErrorText(), emuCodeText(ecSeeExtended));
        EXPECT_EQ(s.lastErrorExText(), u"Часы ККТ неисправны");
    }
}

TEST_F(Faults, PaperOutStopsPrintingButNotCancellingOrReading) {
    Session s(FDir);
    s.connect();
    saleWithItem(s);
    faults("paper-out\n");
    const TEmuState before = saved();
    s.call(u"endFiscalReceipt");
    EXPECT_EQ(s.lastError(), ecPaperOut);
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), ecPaperOut);
    s.call(u"printText", {Variant(u"строка")});
    EXPECT_EQ(s.lastError(), ecPaperOut);
    EXPECT_EQ(s.lastErrorText(), u"Нет бумаги");
    s.ok(u"GetTime");
    s.ok(u"Cash");
    s.ok(u"openCashDrawer");
    s.ok(u"printRecVoid");
    EXPECT_EQ(saved().documentNumber, before.documentNumber);
    // New paper: printing goes on.
    faults("");
    s.ok(u"printXReport");
}

TEST_F(Faults, EditingTheFileStartsCountingAfreshAndBadRulesAreReported) {
    Session s(FDir);
    s.connect();
    s.ok(u"printXReport");
    s.ok(u"printXReport");
    faults("fail printXReport 2 44\n");
    s.ok(u"printXReport");
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), 44);

    // Each mistake is told apart by its line and reason, so every one of them must have been read
    // (the second and third are of the same length, written within moments).
    struct Bad {
        const char* text;
        int line;
        const char* reason;
    };
    const Bad bad[] = {
        {"fail printXReport\n", 1, "ожидалось: fail"},
        {"fail printXReport 0 5\n", 1, "номер вызова"},
        {"fail printXReport 1 0\n", 1, "код ошибки"},
        {"# ok\npaper out\n", 2, "ожидалось \"fail\""},
        {"paper-out\n\n\nfail printSomething 1 5\n", 4, "printSomething"},  // it would never fire
        {"fail LastError * 5\n", 1, "LastError"},                          // the error state is never failed
        {"raise\n", 1, "ожидалось: raise"},
        {"raise printXReport x\n", 1, "номер вызова"},
        {"fail printXReport 1 25 Текст |\n", 1, "расширенный текст"},
        {"lost printXReport\n", 1, "ожидалось: lost"},
        {"down * 1\n", 1, "\"*\""},
        {"hang printXReport 1 Текст\n", 1, "ожидалось: hang"},
        {"after printXReport 1\n", 1, "ожидалось: after"},
        {"after printXReport 0 5\n", 1, "номер вызова"},
        {"after printXReport * 0\n", 1, "код ошибки"},
        {"after printXReport * 3001 Текст |\n", 1, "расширенный текст"},
        {"after LastErrorText 1 5\n", 1, "LastErrorText"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.text);
        faults(b.text);
        s.call(u"Cash");
        EXPECT_EQ(s.lastError(), 1);
        const std::string ex = utf16ToUtf8(s.lastErrorExText());
        EXPECT_NE(ex.find("faults.txt"), std::string::npos) << ex;
        EXPECT_NE(ex.find("строка " + std::to_string(b.line) + ": "), std::string::npos) << ex;
        EXPECT_NE(ex.find(b.reason), std::string::npos) << ex;
    }
    faults("");
    s.ok(u"Cash");
}

TEST_F(Faults, RewriteOfTheSameLengthWithinOneFileTimeTickIsRead) {
    Session s(FDir);
    s.connect();
    faults("fail Cash * 44\n");
    s.call(u"Cash");
    EXPECT_EQ(s.lastError(), 44);
    const auto time = std::filesystem::last_write_time(FDir / "faults.txt");
    faults("fail Cash * 45\n");
    std::filesystem::last_write_time(FDir / "faults.txt", time);  // as a coarse file clock leaves it
    s.call(u"Cash");
    EXPECT_EQ(s.lastError(), 45);
}

TEST_F(Faults, ExtendedTextOfItsOwn) {
    faults("fail printXReport * 25 Ошибка принтера | Перегрев печатающей головки\n"
           "fail GetTime * 1 Часы ККТ | Разряжена батарейка часов\n");
    Session s(FDir);
    s.connect();
    struct Case {
        const char16_t* method;
        int32_t code;
        const char16_t* text;
        const char16_t* extended;
    };
    const Case cases[] = {
        {u"printXReport", 25, u"Ошибка принтера", u"Перегрев печатающей головки"},
        {u"GetTime", 1, u"Часы ККТ", u"Разряжена батарейка часов"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf16ToUtf8(c.method));
        s.call(c.method);
        EXPECT_EQ(s.lastError(), c.code);
        EXPECT_EQ(s.lastErrorText(), c.text);
        EXPECT_EQ(s.lastErrorExText(), c.extended);
    }
}

TEST_F(Faults, RaiseEscapesAsAnAutomationExceptionAndDoesNothing) {
    faults("raise printRecItem 2 Ошибка связи\nraise printRecTotal * \n");
    Session s(FDir);
    s.connect();
    saleWithItem(s);
    EXPECT_EQ(s.lastError(), 0);
    try {
        item(s);
        ADD_FAILURE() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.message(), u"Ошибка связи");
    }
    // The failed call leaves a failure in the error state, not the success before it.
    EXPECT_EQ(s.lastError(), 1);
    EXPECT_EQ(s.lastErrorExText(), u"Ошибка связи");
    item(s);
    EXPECT_EQ(s.lastError(), 0);
    try {
        s.call(u"printRecTotal", {money("20"), i4(0)});
        ADD_FAILURE() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.message(), u"Сбой при вызове метода printRecTotal");
    }
    faults("");
    s.ok(u"printRecTotal", {money("20"), i4(0)});
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(saved().shift.sales, 2000);  // two items: the raised one was not taken
}

// Notepad saves UTF-8 (with or without a mark), "Unicode" or ANSI; a script's FileSystemObject
// ANSI or UTF-16. Each must give back the Russian text exactly.
TEST_F(Faults, FileInEveryEncodingWindowsProgramsSave) {
    const std::u16string text = u"Ошибка: ёмкость «Э» №2";
    const std::string utf8 = "fail printXReport * 25 " + utf16ToUtf8(text) + "\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : utf8ToUtf16(utf8)) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    const std::pair<const char*, std::string> files[] = {
        {"UTF-8", utf8},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16 LE with a mark", utf16},
        {"code page 1251",
         "fail printXReport * 25 \xCE\xF8\xE8\xE1\xEA\xE0: \xB8\xEC\xEA\xEE\xF1\xF2\xFC \xAB\xDD\xBB \xB9" "2\r\n"},
    };
    for (const auto& [encoding, bytes] : files) {
        SCOPED_TRACE(encoding);
        faults(bytes);
        Session s(FDir);
        s.connect();
        s.call(u"printXReport");
        EXPECT_EQ(s.lastError(), 25) << utf16ToUtf8(s.lastErrorExText());
        EXPECT_EQ(s.lastErrorText(), text);
    }
}

TEST_F(Faults, LostAnswerComesAfterTheCallWasCarriedOut) {
    faults("lost endFiscalReceipt 1 Нет ответа от ККТ\nlost printXReport *\n");
    Session s(FDir);
    s.connect();
    saleWithItem(s);
    s.ok(u"printRecTotal", {money("10"), i4(0)});
    const size_t paperBefore = tape().size();
    try {
        s.call(u"endFiscalReceipt");
        ADD_FAILURE() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.message(), u"Нет ответа от ККТ");
    }
    EXPECT_EQ(s.lastError(), 1);
    EXPECT_EQ(s.lastErrorExText(), u"Нет ответа от ККТ");
    // The receipt is done: counted, cash taken, printed, and no longer open.
    const TEmuState st = saved();
    EXPECT_EQ(st.receiptNumber, 1);
    EXPECT_EQ(st.shift.sales, 1000);
    EXPECT_EQ(st.cash, 1000);
    EXPECT_FALSE(st.open.receipt);
    const auto paper = tape();
    EXPECT_NE(std::find_if(paper.begin() + static_cast<long>(paperBefore), paper.end(),
                           [](const std::u16string& l) { return l.find(u"ЧЕК 1") != std::u16string::npos; }),
              paper.end());
    // Later calls answer; the default text names the method.
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 1);
    try {
        s.call(u"printXReport");
        ADD_FAILURE() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.message(), u"Ответ ККТ потерян при вызове метода printXReport");
    }
    EXPECT_EQ(saved().documentNumber, st.documentNumber + 1);
}

// The register did the work, then reported a fault: the receipt is fiscalized and printed, and the
// call answers the rule's code with the texts a "fail" rule gives.
TEST_F(Faults, AfterCarriesTheCallOutThenAnswersTheCode) {
    struct Case {
        const char* rule;
        int32_t code;
        std::u16string text, extended;
    };
    const Case cases[] = {
        {"after endFiscalReceipt 1 3001", ecPaperOut, u"Нет бумаги", u"Нет бумаги"},
        {"after ENDFISCALRECEIPT * 1 Чек закрыт, ошибка ФН", 1, emuCodeText(ecSeeExtended), u"Чек закрыт, ошибка ФН"},
        {"after endFiscalReceipt 1 25 Ошибка принтера | Отрезчик заклинило", 25, u"Ошибка принтера", u"Отрезчик заклинило"},
        {"after endFiscalReceipt 1 44", 44, u"Ошибка 44", u"Ошибка 44"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::filesystem::path dir = FDir / std::to_string(++n);
        std::filesystem::create_directories(dir);
        writeFile(dir / "faults.txt", std::string(c.rule) + "\n");
        Session s(dir);
        s.connect();
        saleWithItem(s);
        s.ok(u"printRecTotal", {money("50"), i4(0)});
        EXPECT_EQ(s.call(u"endFiscalReceipt").toInt(), c.code);
        EXPECT_EQ(s.lastError(), c.code);
        EXPECT_EQ(s.lastErrorText(), c.text);
        EXPECT_EQ(s.lastErrorExText(), c.extended);
        const TEmuState st = TEmuStore(dir).load();
        EXPECT_EQ(st.receiptNumber, 1);
        EXPECT_EQ(st.shift.sales, 1000);
        EXPECT_EQ(st.cash, 1000);  // change given
        EXPECT_FALSE(st.open.receipt);
        const auto paper = fileLines(dir / "tape.txt");
        EXPECT_NE(std::find_if(paper.begin(), paper.end(),
                               [](const std::u16string& l) { return l.find(u"ЧЕК 1") != std::u16string::npos; }),
                  paper.end());
        EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 1);  // the next call answers as usual
    }
}

TEST_F(Faults, AfterCountsCallsAndLeavesARefusalItsOwn) {
    faults("after printXReport 2 3001\nafter SmenNum * 1 Нет ответа ФН\nafter endFiscalReceipt * 3001\n");
    Session s(FDir);
    s.connect();
    const int32_t documents = saved().documentNumber;
    for (int32_t expected : {0, 3001, 0}) {
        SCOPED_TRACE(expected);
        s.call(u"printXReport");
        EXPECT_EQ(s.lastError(), expected);
    }
    EXPECT_EQ(saved().documentNumber, documents + 3);  // all three printed
    s.ok(u"printNullReceipt");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(s.call(u"SmenNum").toInt(), 0);  // the value of a failed call
        EXPECT_EQ(s.lastError(), 1);
        EXPECT_EQ(s.lastErrorExText(), u"Нет ответа ФН");
    }
    // No receipt to close: the register's own refusal, not the rule's code.
    s.call(u"endFiscalReceipt");
    EXPECT_EQ(s.lastError(), ecReceiptNotOpen);
    // Out of paper the call is refused before it is carried out.
    faults("after printXReport * 25\npaper-out\n");
    const int32_t before = saved().documentNumber;
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), ecPaperOut);
    EXPECT_EQ(saved().documentNumber, before);
}

TEST_F(Faults, DownLinkRaisesForEveryCallUntilTheFileChanges) {
    faults("down printRecItem 2 Связь с ККТ разорвана\n");
    Session s(FDir);
    s.connect();
    saleWithItem(s);
    EXPECT_THROW(item(s), EOleError);
    ASSERT_TRUE(saved().open.receipt);
    EXPECT_EQ(saved().open.receipt->lines.size(), 2u);  // the second item was taken
    // Every method now raises the same text and does nothing; the error state still answers.
    const std::pair<const char16_t*, std::vector<Variant>> calls[] = {
        {u"Cash", {}}, {u"printRecVoid", {}}, {u"GetTime", {}}, {u"start", {i4(100)}}, {u"printXReport", {}},
    };
    for (const auto& [method, args] : calls) {
        SCOPED_TRACE(utf16ToUtf8(method));
        std::vector<Arg> a(args.begin(), args.end());
        try {
            s.object().call(method, a);
            ADD_FAILURE() << "no exception";
        } catch (const EOleError& e) {
            EXPECT_EQ(e.message(), u"Связь с ККТ разорвана");
        }
        EXPECT_EQ(s.lastError(), 1);
    }
    EXPECT_EQ(saved().open.receipt->lines.size(), 2u);
    faults("# the link is back\n");
    s.ok(u"printRecVoid");
    EXPECT_FALSE(saved().open.receipt);
}

// A hung call waits for the file, so that a test can kill its host in the middle of a receipt.
TEST_F(Faults, HangHoldsTheCallUntilTheFileChangesOrGoes) {
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    const std::pair<const char*, bool> releases[] = {{"rewritten", false}, {"removed", true}};
    size_t items = 0;
    for (const auto& [how, remove] : releases) {
        SCOPED_TRACE(how);
        faults("hang printRecItem *\n");
        std::atomic<bool> returned{false}, heldAtRelease{false};
        std::thread releaser([&, remove = remove] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            heldAtRelease = !returned;
            std::error_code ec;
            if (remove) std::filesystem::remove(FDir / "faults.txt", ec);
            else faults("# released\n");
        });
        const auto start = std::chrono::steady_clock::now();
        item(s);
        returned = true;
        releaser.join();
        EXPECT_TRUE(heldAtRelease);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        // Released, the call went ahead.
        EXPECT_EQ(s.lastError(), 0);
        EXPECT_EQ(saved().open.receipt->lines.size(), ++items);
    }
}

}  // namespace
}  // namespace fr::emu::test
