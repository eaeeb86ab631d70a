// The XML form of templates. The same cases run natively over pugixml and under Wine over MSXML,
// so both DOMs must give the very same template array.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "automation/Text.h"
#include "templates/uTemplateXml.h"

using namespace fr;
using namespace fr::templates;

namespace {

Variant table(uint32_t columns, std::vector<std::vector<Variant>> rows) {
    VariantArray a({ArrayBound{0, columns}, ArrayBound{0, static_cast<uint32_t>(rows.size())}});
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(columns); ++c) a.at({c, r}) = rows[static_cast<size_t>(r)].at(static_cast<size_t>(c));
    return Variant(std::move(a));
}
Variant txt(const char16_t* s) { return Variant(s); }
Variant b(bool v) { return Variant(v); }
Variant i(int32_t v) { return Variant(v); }

Variant load(const std::u16string& xml, int32_t& number, std::u16string& description) {
    return LoadTemplateFromXml(xml, number, description);
}

const char16_t* kFull = uR"(<?xml version="1.0" encoding="UTF-8"?>
<Templates>
  <Template Number="7" Description="Товарный чек">
    <Section Name="Шапка" Fixed="TRUE" Predefined="true">
      <CompositeString Fixed="True" MinRows="1" MaxRows="x3" PrintEmptyData="1">
        <CompositeField Fixed="false" Resizable="tRuE" Length="12" HorizontalAlign=" 2 " VerticalAlign="-1"
                        TextPlacement="99999999999" Size="3" Bold="True" Italic="1" Underline="yes" Inversion="TRUE"
                        DisplayType="1">
          <Field Name="Сумма" Fixed="True" Predefined="False" Type="1" Format="ЧЦ=10; ЧДЦ=2" IsParameter="1"
                 Prefix="= " Postfix=" руб." Value="0"/>
          <Field Name="" Type="abc" IsParameter="True" Value="&lt;&amp;&gt;"/>
        </CompositeField>
      </CompositeString>
    </Section>
    <Group>
      <Section Name="Пусто"/>
    </Group>
    <Section Name="Строки">
      <CompositeString MinRows="2"/>
      <CompositeString><CompositeField Length="5"/></CompositeString>
    </Section>
  </Template>
</Templates>)";

Variant expectedFullSections() {
    const Variant fields = table(9, {
        {txt(u"Сумма"), b(true), b(false), i(1), txt(u"ЧЦ=10; ЧДЦ=2"), txt(u"1"), txt(u"= "), txt(u" руб."), txt(u"0")},
        {txt(u""), b(false), b(false), i(0), txt(u""), txt(u"True"), txt(u""), txt(u""), txt(u"<&>")},
    });
    const Variant headFields = table(13, {
        {b(false), b(true), i(12), i(2), i(-1), i(0), i(3), b(true), b(false), b(false), b(true), fields, i(1)},
    });
    const Variant headLines = table(5, {{b(true), i(1), i(0), headFields, b(false)}});
    const Variant noFields = table(9, {});
    const Variant lineFields = table(13, {
        {b(false), b(false), i(5), i(0), i(0), i(0), i(0), b(false), b(false), b(false), b(false), noFields, i(0)},
    });
    const Variant lines = table(5, {{b(false), i(2), i(0), table(13, {}), b(false)},
                                    {b(false), i(0), i(0), lineFields, b(false)}});
    return table(4, {{txt(u"Шапка"), b(true), b(true), headLines},
                     {txt(u"Пусто"), b(false), b(false), table(5, {})},
                     {txt(u"Строки"), b(false), b(false), lines}});
}

TEST(LoadTemplateFromXml, FillsEveryCellByTheAttributeRules) {
    int32_t number = -1;
    std::u16string description = u"old";
    const Variant result = load(kFull, number, description);
    ASSERT_TRUE(result.isArray());
    const VariantArray& a = result.array();
    ASSERT_EQ(a.dimCount(), 1);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(description, u"Товарный чек");
    EXPECT_EQ(a.at(0), Variant(7));
    EXPECT_EQ(a.at(1), Variant(u"Товарный чек"));
    EXPECT_EQ(a.at(2), expectedFullSections());
}

TEST(LoadTemplateFromXml, KeepsTheCallersNumberUnlessNegative) {
    int32_t number = 3;
    std::u16string description;
    const Variant result = load(kFull, number, description);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(result.array().at(0), Variant(3));
    number = -5;
    load(uR"(<Template Description="d"><Section/></Template>)", number, description);
    EXPECT_EQ(number, 0);  // no Number attribute
}

TEST(LoadTemplateFromXml, IntegerAndBooleanAttributes) {
    const std::pair<const char16_t*, int32_t> ints[] = {
        {u"12", 12}, {u"-3", -3}, {u"", 0}, {u"12abc", 0}, {u"1.5", 0}, {u"2147483648", 0}, {u"x", 0}};
    for (auto [text, value] : ints) EXPECT_EQ(XmlIntAttribute(text), value) << u8(text);
    const std::pair<const char16_t*, bool> bools[] = {
        {u"True", true}, {u"TRUE", true}, {u"true", true}, {u"1", false}, {u"yes", false}, {u"", false}, {u" True", false}};
    for (auto [text, value] : bools) EXPECT_EQ(XmlBoolAttribute(text), value) << u8(text);
}

TEST(LoadTemplateFromXml, NothingToLoadGivesEmpty) {
    const char16_t* inputs[] = {
        u"", u"not xml at all", u"<Template Number='1'><Section></Template>", u"<Other><Section Name='A'/></Other>"};
    for (const char16_t* xml : inputs) {
        int32_t number = -1;
        std::u16string description = u"kept";
        EXPECT_TRUE(load(xml, number, description).isEmpty()) << u8(xml);
        EXPECT_EQ(number, -1) << u8(xml);
        EXPECT_EQ(description, u"kept") << u8(xml);
    }
    // A template without sections is empty too, though its number and description were read.
    int32_t number = -1;
    std::u16string description;
    EXPECT_TRUE(load(uR"(<Template Number="4" Description="пустой"/>)", number, description).isEmpty());
    EXPECT_EQ(number, 4);
    EXPECT_EQ(description, u"пустой");
}

TEST(LoadTemplateFromXml, ReadsAnExistingFileByItsPath) {
    const auto path = std::filesystem::temp_directory_path() / "fr_templates_loader_test.xml";
    {
        std::ofstream out(path, std::ios::binary);
        out << u8(kFull);
    }
    int32_t number = -1;
    std::u16string description;
#ifdef _WIN32
    const std::wstring w = path.wstring();
    const std::u16string p(w.begin(), w.end());
#else
    const std::u16string p = u16(path.string());
#endif
    const Variant result = load(p, number, description);
    std::filesystem::remove(path);
    ASSERT_TRUE(result.isArray());
    EXPECT_EQ(result.array().at(2), expectedFullSections());
    // A path that names no file is parsed as XML text, which it is not.
    number = -1;
    EXPECT_TRUE(load(p, number, description).isEmpty());
}

}  // namespace
