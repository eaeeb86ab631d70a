// The template object: preparing a template array, matching data to fields, rendering lines.
#include <gtest/gtest.h>

#include "TemplateBuilder.h"
#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "templates/uTemplateLibLayout.h"
#include "templates/uTemplateObj.h"

using namespace fr;
using namespace fr::templates;
using namespace fr::templates::test;
using Rows = std::vector<std::string>;

namespace {

const TFormatSettings kRu = TFormatSettings::russian();

Rows render(const std::vector<S>& tmpl, const DataRows& rows, int width = 20, const TControlStrings& control = {}) {
    return rowsOf(GetTemplateText(sections(tmpl), data(rows), width, control, kRu));
}

// A one-column line showing one parameter.
CS paramLine(const std::u16string& name, int length = 20, bool printEmpty = false, int type = 0,
             const std::u16string& format = u"") {
    return CS{.printEmpty = printEmpty, .columns = {CF{.length = length, .fields = {F{.name = name, .type = type, .format = format}}}}};
}
CS fixedLine(const std::u16string& text, int length = 20) {
    return CS{.columns = {CF{.length = length, .fields = {F{.param = false, .value = Variant(text)}}}}};
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EError& e) {
        return u8(e.message());
    }
    return "no error";
}

TEST(Prepare, RowWidthIsAtLeastTwenty) {
    for (auto [given, used] : {std::pair{0, 20}, {5, 20}, {20, 20}, {21, 21}, {48, 48}, {-7, 20}}) {
        TTemplateObj obj(kRu);
        obj.Prepare(sections({S{u"A", {}}, S{u"B", {}}}), given);
        ASSERT_EQ(obj.Sections.Count(), 2);
        EXPECT_EQ(obj.Sections.GetItem(0).MaxRowLength, used) << given;
        EXPECT_EQ(obj.Sections.GetItem(1).MaxRowLength, used) << given;
    }
}

TEST(Prepare, BuildsTheTreeWithItsCells) {
    TTemplateObj obj(kRu);
    obj.Prepare(sections({S{u"Line", {CS{.minRows = 2, .maxRows = 4, .printEmpty = true,
                                        .columns = {CF{.resizable = true, .length = 3, .halign = 1, .valign = 2, .placement = 1,
                                                       .bold = true, .inversion = true, .displayType = 2,
                                                       .fields = {F{u"Sum", 1, u"ND=5", true, u"<", u">", Variant(u"2.5")}}}}}}}}),
                48);
    const TSectionItem& s = obj.Sections.GetItem(0);
    EXPECT_EQ(s.Name, u"Line");
    EXPECT_EQ(s.DataIndex, -1);
    const TCompositeStringItem& cs = s.CompositeStrings.GetItem(0);
    EXPECT_EQ(cs.MinRows, 2);
    EXPECT_EQ(cs.MaxRows, 4);
    EXPECT_TRUE(cs.PrintEmptyData);
    EXPECT_EQ(cs.SectionItem, &s);
    const TCompositeFieldItem& cf = cs.CompositeFields.GetItem(0);
    EXPECT_TRUE(cf.Resizable);
    EXPECT_EQ(cf.Length, 3);
    EXPECT_EQ(cf.HorizontalAlign, 1);
    EXPECT_EQ(cf.VerticalAlign, 2);
    EXPECT_EQ(cf.TextPlacement, 1);
    EXPECT_TRUE(cf.Bold && cf.Inversion && !cf.Italic && !cf.Underline);
    EXPECT_EQ(cf.DisplayType, 2);
    EXPECT_EQ(cf.SectionItem, &s);
    const TFieldItem& f = cf.Fields.GetItem(0);
    EXPECT_EQ(f.Name, u"Sum");
    EXPECT_EQ(f.Type_, 1);
    EXPECT_EQ(f.Format, u"ND=5");
    EXPECT_TRUE(f.IsParameter);
    EXPECT_EQ(f.Prefix, u"<");
    EXPECT_EQ(f.Postfix, u">");
    EXPECT_EQ(f.Value, u"2,5");  // converted to the type, not formatted
    EXPECT_EQ(f.SectionItem, &s);
    EXPECT_EQ(f.SectionName(), u"Line");
}

TEST(Prepare, TwelveColumnCompositeFieldsHaveDisplayTypeText) {
    TTemplateObj obj(kRu);
    obj.Prepare(sections({S{u"A", {CS{.columns = {CF{.displayType = 1, .twelveColumns = true}, CF{.displayType = 2}}}}}}), 20);
    const auto& cfs = obj.Sections.GetItem(0).CompositeStrings.GetItem(0).CompositeFields;
    EXPECT_EQ(cfs.GetItem(0).DisplayType, 0);
    EXPECT_EQ(cfs.GetItem(1).DisplayType, 0);
}

TEST(Prepare, CellsConvertByTheOrdinaryRules) {
    // Booleans take "True"/"False" in any case and numbers; integers take numeric text.
    Variant t = sections({S{u"A", {paramLine(u"P")}}});
    auto& field = t.array().at({3, 0}).array().at({3, 0}).array().at({11, 0}).array();
    field.at({5, 0}) = Variant(u"tRUE");
    field.at({3, 0}) = Variant(u"1");
    field.at({8, 0}) = Variant(u"7,25");
    TTemplateObj obj(kRu);
    obj.Prepare(t, 20);
    const TFieldItem& f = obj.Sections.GetItem(0).CompositeStrings.GetItem(0).CompositeFields.GetItem(0).Fields.GetItem(0);
    EXPECT_TRUE(f.IsParameter);
    EXPECT_EQ(f.Type_, 1);
    EXPECT_EQ(f.Value, u"7,25");
}

TEST(Prepare, MalformedArraysNameThePlace) {
    const auto prepare = [](const Variant& t) { return errorOf([&] { TTemplateObj(kRu).Prepare(t, 20); }); };
    Variant t = sections({S{u"Шапка", {paramLine(u"P")}}});
    EXPECT_EQ(prepare(Variant(u"x")), "Ошибка шаблона: ожидается массив секций, получено значение типа (OleStr)");
    EXPECT_EQ(prepare(Variant(VariantArray::vector({Variant(1)}))),
              "Ошибка шаблона: массив секций должен быть двумерным (колонка, элемент), а измерений 1");

    Variant noLines = t;
    noLines.array().at({3, 0}) = Variant(5);
    EXPECT_EQ(prepare(noLines), "Ошибка шаблона: секция 0 «Шапка», колонка 3 (CompositeStrings): ожидается массив составных "
                                "строк, получено значение типа (Integer)");

    Variant emptyBool = t;
    emptyBool.array().at({3, 0}).array().at({3, 0}).array().at({11, 0}).array().at({5, 0}) = Variant(u"");
    EXPECT_EQ(prepare(emptyBool),
              "Ошибка шаблона: секция 0 «Шапка», колонка 3 (CompositeStrings), составная строка 0, колонка 3 "
              "(CompositeFields), составное поле 0, колонка 11 (Fields), поле 0, колонка 5 (IsParameter): "
              "Невозможно преобразовать вариант типа (OleStr) в тип (Boolean)");

    Variant badInt = t;
    badInt.array().at({3, 0}).array().at({1, 0}) = Variant(u"много");
    EXPECT_EQ(prepare(badInt), "Ошибка шаблона: секция 0 «Шапка», колонка 3 (CompositeStrings), составная строка 0, "
                               "колонка 1 (MinRows): Невозможно преобразовать вариант типа (OleStr) в тип (Integer)");

    // A missing column (other than DisplayType).
    Variant narrow = sections({S{u"A", {}}});
    narrow.array() = VariantArray({ArrayBound{0, 3}, ArrayBound{0, 1}});
    narrow.array().at({0, 0}) = Variant(u"A");
    narrow.array().at({1, 0}) = Variant(false);
    narrow.array().at({2, 0}) = Variant(false);
    EXPECT_EQ(prepare(narrow), "Ошибка шаблона: секция 0, колонка 3 (CompositeStrings): нет такой колонки");
}

TEST(ApplyData, SectionsPrintInDataOrderAsOftenAsNamed) {
    const std::vector<S> tmpl = {S{u"Line", {paramLine(u"Name")}}, S{u"Total", {fixedLine(u"ИТОГО")}}};
    EXPECT_EQ(render(tmpl, {{u"Line", {{u"Name", Variant(u"хлеб")}}},
                            {u"line", {{u"name", Variant(u"соль")}}},   // names ignore case
                            {u"Nothing", {}},                           // unknown: skipped
                            {u"TOTAL", {}}}),
              (Rows{"хлеб                ", "соль                ", "ИТОГО               "}));
    // A section no row names is not printed.
    EXPECT_EQ(render(tmpl, {{u"Total", {}}}), (Rows{"ИТОГО               "}));
    EXPECT_EQ(render(tmpl, {}), Rows{});
}

TEST(ApplyData, SectionAndParameterNamesIgnoreCyrillicCase) {
    const std::vector<S> tmpl = {S{u"Шапка", {paramLine(u"Сумма")}}, S{u"Ёлка", {paramLine(u"ёж")}}};
    EXPECT_EQ(render(tmpl, {{u"ШАПКА", {{u"СУММА", Variant(u"5")}}}, {u"шапка", {{u"сумма", Variant(u"6")}}},
                            {u"ёЛКА", {{u"ЁЖ", Variant(u"7")}}}}),
              (Rows{"5                   ", "6                   ", "7                   "}));
    // Folding case is not folding letters: Е and Ё stay apart.
    EXPECT_EQ(render(tmpl, {{u"Елка", {{u"ёж", Variant(u"8")}}}}), Rows{});
}

TEST(ApplyData, AComputedFieldGivesEveryRowItsOwnValue) {
    // Rows with the same value evaluate the very same expression text.
    struct Case {
        const char16_t* format;
        std::vector<double> values;
        Rows expected;
    };
    const Case cases[] = {
        {u"EXPR=V/0", {4, 4, 4}, {"0", "0", "0"}},  // a computation error: 0 each time
        {u"EXPR=V+unknown", {1, 1}, {"0", "0"}},
        {u"EXPR=V*", {1, 1}, {"Error", "Error"}},   // does not parse: Error each time
        {u"EXPR=V*2", {1, 1, 3}, {"2", "2", "6"}},
    };
    for (const auto& c : cases) {
        DataRows rows;
        for (double v : c.values) rows.push_back({u"L", {{u"N", Variant(v)}}});
        Rows got = render({S{u"L", {paramLine(u"N", 20, false, 1, c.format)}}}, rows);
        for (auto& r : got) r.erase(r.find_last_not_of(' ') + 1);
        EXPECT_EQ(got, c.expected) << u8(c.format);
    }
}

TEST(ApplyData, ParameterMatching) {
    const std::vector<S> tmpl = {S{u"A", {CS{.columns = {CF{.length = 20, .fields = {
        F{.name = u"X", .prefix = u"x=", .postfix = u";"},
        F{.name = u"X", .param = false, .prefix = u" fixed=", .value = Variant(u"tmpl")}}}}}}}};
    // Given twice: the last value wins. A fixed field keeps its template text even when the data
    // has a parameter of its name.
    EXPECT_EQ(render(tmpl, {{u"A", {{u"X", Variant(1)}, {u"x", Variant(2)}}}}), (Rows{"x=2; fixed=tmpl     "}));
}

TEST(ApplyData, LinesWithoutValuesAndPrintEmptyData) {
    const std::vector<S> tmpl = {S{u"A", {paramLine(u"P"), paramLine(u"Q", 20, true), fixedLine(u"---")}}};
    // Each parameter line prints when it got a value; PrintEmptyData prints regardless; a line
    // of fixed text prints for every occurrence of its section.
    EXPECT_EQ(render(tmpl, {{u"A", {{u"P", Variant(u"p1")}, {u"Q", Variant(u"q1")}}},
                            {u"A", {{u"P", Variant(u"p2")}}},
                            {u"A", {}}}),
              (Rows{"p1                  ", "q1                  ", "---                 ",
                    "p2                  ", "                    ", "---                 ",
                    "                    ", "---                 "}));
}

TEST(ApplyData, AMissingParameterShowsTheTemplateTextNotAnEarlierRowsValue) {
    // Quantity and discount on one line: a row without a discount must not print the previous
    // row's discount.
    const std::vector<S> tmpl = {S{u"Line", {CS{.columns = {
        CF{.length = 10, .fields = {F{.name = u"Qty", .type = 1, .format = u"NFD=1"}}},
        CF{.length = 10, .fields = {F{.name = u"Disc", .prefix = u"-", .value = Variant(u"нет")}}}}}}}};
    EXPECT_EQ(render(tmpl, {{u"Line", {{u"Qty", Variant(2)}, {u"Disc", Variant(u"10%")}}},
                            {u"Line", {{u"Qty", Variant(3)}}}}),
              (Rows{"2,0       -10%      ", "3,0       -нет      "}));
}

TEST(ApplyData, MalformedDataNamesThePlace) {
    const std::vector<S> tmpl = {S{u"Line", {paramLine(u"Price", 20, false, 1)}}, S{u"Fixed", {fixedLine(u"x")}}};
    const auto apply = [&](const Variant& d) {
        return errorOf([&] { GetTemplateText(sections(tmpl), d, 20, {}, kRu); });
    };
    EXPECT_EQ(apply(Variant()), "Ошибка данных: ожидается массив данных, получено значение типа (Empty)");

    Variant notParams = data({{u"Line", {}}});
    notParams.array().at({1, 0}) = Variant(u"Price=1");
    EXPECT_EQ(apply(notParams), "Ошибка данных: строка 0 (секция «Line»), колонка 1: ожидается массив параметров, "
                                "получено значение типа (OleStr)");
    // The parameter cell of a section without parameter fields is not read at all.
    Variant fixedOnly = data({{u"Fixed", {}}});
    fixedOnly.array().at({1, 0}) = Variant(u"whatever");
    EXPECT_EQ(apply(fixedOnly), "no error");

    EXPECT_EQ(apply(data({{u"Fixed", {}}, {u"Line", {{u"Price", Variant::null()}}}})),
              "Ошибка данных: строка 1 (секция «Line»), параметр 0 «Price»: Невозможно преобразовать вариант типа (Null) "
              "в тип (Double)");

    Variant noName = data({{u"Line", {}}});
    noName.array().at({0, 0}) = Variant(VariantArray::vector({}));
    EXPECT_EQ(apply(noName), "Ошибка данных: строка 0, колонка 0 (имя секции): Невозможно преобразовать вариант типа "
                             "(Array Variant) в тип (OleStr)");
}

TEST(Render, ResizableWrappedColumn) {
    std::u16string seventy;
    for (int i = 0; i < 70; ++i) seventy.push_back(static_cast<char16_t>(u'a' + i % 26));
    const auto line = [&](int maxRows, int halign) {
        return std::vector<S>{S{u"A", {CS{.minRows = 1, .maxRows = maxRows,
                                          .columns = {CF{.resizable = true, .length = 1, .halign = halign,
                                                         .fields = {F{.param = false, .value = Variant(seventy)}}}}}}}};
    };
    const std::string s = u8(seventy);
    EXPECT_EQ(render(line(3, haLeft), {{u"A", {}}}, 32), (Rows{s.substr(0, 32), s.substr(32, 32), s.substr(64) + std::string(26, ' ')}));
    EXPECT_EQ(render(line(2, haLeft), {{u"A", {}}}, 32), (Rows{s.substr(0, 32), s.substr(32, 32)}));
    EXPECT_EQ(render(line(2, haCenter), {{u"A", {}}}, 32), (Rows{s.substr(3, 32), s.substr(35, 32)}));
    EXPECT_EQ(render(line(2, haRight), {{u"A", {}}}, 32), (Rows{s.substr(6, 32), s.substr(38, 32)}));
    EXPECT_EQ(render(line(0, haLeft), {{u"A", {}}}, 32), Rows{});  // MaxRows 0: nothing
}

TEST(Render, ColumnsShareTheRowAndAlignVertically) {
    const std::vector<S> tmpl = {S{u"A", {CS{.minRows = 1, .maxRows = 5, .columns = {
        CF{.length = 6, .fields = {F{.param = false, .value = Variant(u"long text wraps")}}},
        CF{.resizable = true, .length = 1, .halign = haRight, .valign = vaBottom, .fields = {F{.name = u"Sum"}}},
        CF{.length = 3, .valign = vaMiddle, .fields = {F{.param = false, .value = Variant(u"*")}}}}}}}};
    EXPECT_EQ(render(tmpl, {{u"A", {{u"Sum", Variant(u"12,50")}}}}, 21),
              (Rows{"long t" + std::string(15, ' '), "ext wr" + std::string(12, ' ') + "*  ", "aps          12,50   "}));
}

TEST(Render, ColumnsWithoutWidthShowNothing) {
    // Fixed columns wider than the row leave the resizable one a negative width; Length 0 too.
    const std::vector<S> tmpl = {S{u"A", {CS{.minRows = 1, .maxRows = 3, .columns = {
        CF{.length = 25, .fields = {F{.param = false, .value = Variant(u"wide")}}},
        CF{.resizable = true, .length = 1, .fields = {F{.param = false, .value = Variant(u"lost")}}},
        CF{.length = 0, .fields = {F{.param = false, .value = Variant(u"gone")}}}}}}}};
    EXPECT_EQ(render(tmpl, {{u"A", {}}}, 20), (Rows{"wide" + std::string(21, ' ')}));
}

TEST(Render, ControlStringsAroundStyledText) {
    TControlStrings c;
    c.ESCBoldOn = u"B+", c.ESCBoldOff = u"B-", c.ESCUnderlineOn = u"U+", c.ESCUnderlineOff = u"U-";
    c.ESCItalicOn = u"I+", c.ESCItalicOff = u"I-", c.ESCBarcodeOn = u"[", c.ESCBarcodeOff = u"]";
    c.ESCImageOn = u"{", c.ESCImageOff = u"}";
    const std::vector<S> tmpl = {S{u"A", {CS{.minRows = 1, .maxRows = 3, .columns = {
        CF{.length = 4, .bold = true, .underline = true, .fields = {F{.param = false, .value = Variant(u"abcdef")}}},
        CF{.length = 4, .italic = true, .displayType = 1, .fields = {F{.param = false, .value = Variant(u"  4600001 \t")}}},
        CF{.length = 4, .displayType = 2, .fields = {F{.param = false, .value = Variant(u"logo")}}},
        CF{.length = 4, .displayType = 9, .fields = {F{.param = false, .value = Variant(u"raw")}}}}}}}};
    // Off strings in the same order as the on strings; a barcode or image goes whole, trimmed,
    // into the first row only; other display types are placed alike, without control strings.
    EXPECT_EQ(render(tmpl, {{u"A", {}}}, 20, c),
              (Rows{"B+U+abcdB-U-I+[4600001I-]{logo}raw", "B+U+ef  B-U-", "B+U+    B-U-"}));
}

TEST(Render, HugeLinesAreRefused) {
    const std::vector<S> tmpl = {S{u"A", {CS{.minRows = 100000, .maxRows = 100000,
                                             .columns = {CF{.length = 1000, .fields = {F{.name = u"P"}}}}}}}};
    EXPECT_EQ(errorOf([&] { render(tmpl, {{u"A", {{u"P", Variant(1)}}}}); }),
              "Ошибка шаблона: секция «A», составная строка 0: строка занимает 100000 строк по 1000 символов, больше допустимого");
}

TEST(AssignWithSection, CopiesTemplateAttributesNotRunTimeState) {
    TTemplateObj a(kRu), b(kRu);
    a.Prepare(sections({S{u"Line", {CS{.minRows = 1, .maxRows = 2, .columns = {
        CF{.length = 7, .bold = true, .displayType = 2, .fields = {F{.name = u"P", .format = u"ND=3", .value = Variant(u"v")}}}}}}}}), 30);
    a.ApplyData(data({{u"Line", {{u"P", Variant(u"data")}}}}));
    b.Sections.AssignWithSection(a.Sections, nullptr);
    ASSERT_EQ(b.Sections.Count(), 1);
    const TSectionItem& s = b.Sections.GetItem(0);
    EXPECT_EQ(s.Name, u"Line");
    EXPECT_EQ(s.MaxRowLength, 30);
    const TCompositeStringItem& cs = s.CompositeStrings.GetItem(0);
    EXPECT_EQ(cs.SectionItem, &s);
    EXPECT_EQ(cs.MaxRows, 2);
    EXPECT_TRUE(cs.RowText.empty());
    const TCompositeFieldItem& cf = cs.CompositeFields.GetItem(0);
    EXPECT_EQ(cf.Length, 7);
    EXPECT_TRUE(cf.Bold);
    EXPECT_EQ(cf.DisplayType, 2);
    EXPECT_EQ(cf.FieldText, u"");
    EXPECT_EQ(cf.Fields.GetItem(0).Format, u"ND=3");
    EXPECT_EQ(cf.Fields.GetItem(0).SectionItem, &s);
    EXPECT_EQ(cf.Fields.GetItem(0).TemplateObj, &b);

    // Copying from an item of another class fails.
    auto& field = b.Sections.GetItem(0).CompositeStrings.GetItem(0).CompositeFields.GetItem(0).Fields.GetItem(0);
    EXPECT_EQ(errorOf([&] { field.AssignWithSection(a.Sections.GetItem(0), nullptr); }), "Не перекрыт");
    EXPECT_EQ(errorOf([&] { b.Sections.AssignWithSection(cs.CompositeFields, nullptr); }), "Не перекрыт");
    EXPECT_EQ(b.Sections.Count(), 1);  // a failed copy changes nothing
}

TEST(PrintMode, DrawsEachPieceAndMovesRowByRow) {
    TRecordingCanvas canvas;
    canvas.Height = 90;  // three rows of 20 pixels fit between margins of 10
    const std::vector<S> tmpl = {S{u"A", {CS{.minRows = 1, .maxRows = 3, .columns = {
        CF{.length = 4, .bold = true, .fields = {F{.param = false, .value = Variant(u"abcdef")}}},
        CF{.length = 2, .inversion = true, .fields = {F{.name = u"P"}}}}}}}};
    TTemplateObj obj(kRu);
    obj.PrintDocumentText(sections(tmpl), data({{u"A", {{u"P", Variant(u"x")}}}, {u"A", {{u"P", Variant(u"y")}}}}), 20,
                          /*LeftIn*/ 2, /*TopIn*/ 1, canvas);
    std::vector<std::string> calls;
    for (const auto& c : canvas.Calls) calls.push_back(u8(c));
    // 254 pixels per inch: 2 mm = 20 pixels, 1 mm = 10.
    EXPECT_EQ(calls, (std::vector<std::string>{
        "BeginDoc",
        "Fill 20,10-60,30", "Text 20,10-60,30 B 'abcd'", "Fill 60,10-80,30 inverse", "Text 60,10-80,30 inverse 'x '",
        "Fill 20,30-60,50", "Text 20,30-60,50 B 'ef  '", "Fill 60,30-80,50 inverse", "Text 60,30-80,50 inverse '  '",
        "Fill 20,50-60,70", "Text 20,50-60,70 B 'abcd'", "Fill 60,50-80,70 inverse", "Text 60,50-80,70 inverse 'y '",
        "NewPage",
        "Fill 20,10-60,30", "Text 20,10-60,30 B 'ef  '", "Fill 60,10-80,30 inverse", "Text 60,10-80,30 inverse '  '",
        "EndDoc"}));
    EXPECT_TRUE(obj.PrintMode);
}

TEST(PrintMode, EndsThePrintJobWhenDataFails) {
    TRecordingCanvas canvas;
    TTemplateObj obj(kRu);
    EXPECT_THROW(obj.PrintDocumentText(sections({S{u"A", {fixedLine(u"x")}}}), Variant(u"bad"), 20, 0, 0, canvas), EError);
    EXPECT_EQ(canvas.Calls, (std::vector<std::u16string>{u"BeginDoc", u"EndDoc"}));
}

}  // namespace
