// The settings store and its exchange with the host.
#include <gtest/gtest.h>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uSettings.h"

using namespace fr;

namespace {
TSettingList deviceSettings() {
    TSettingList l;
    l.AddSetting(u"DefaultTimeOut", TDataType::dtNumber, Variant(120), false, u"Таймаут", u"");
    l.AddSetting(u"EventLogEnabled", TDataType::dtBoolean, Variant(false), false, u"Журнал событий", u"");
    l.AddSetting(u"DebugLogEnabled", TDataType::dtBoolean, Variant(false), false, u"Отладочный лог", u"");
    l.AddSetting(u"ПортКассы", TDataType::dtString, Variant(u"COM1"), true, u"Порт", u"");
    return l;
}

Variant exchange(std::initializer_list<std::pair<Variant, Variant>> rows) {
    VariantArray t = VariantArray::matrix(7, static_cast<uint32_t>(rows.size()));
    int k = 0;
    for (const auto& [id, value] : rows) {
        t.at({0, k}) = id;
        t.at({1, k}) = value;
        ++k;
    }
    return Variant(VariantArray::vector({Variant(std::move(t))}));
}
}  // namespace

TEST(Settings, RedeclarationKeepsNameAndTypeTakesTheRest) {
    TSettingList l = deviceSettings();
    l.SetSettingValue(u"DebugLogEnabled", Variant(true));
    l.AddSetting(u"DEBUGLOGENABLED", TDataType::dtString, Variant(true), true, u"Другое имя", u"новое");
    const TSettingStruct* s = l.Find(u"DebugLogEnabled");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(u8(s->Name), "Отладочный лог");
    EXPECT_EQ(s->ValueType, TDataType::dtBoolean);
    EXPECT_EQ(s->Default, Variant(true));
    EXPECT_TRUE(s->ReadOnly);
    EXPECT_EQ(u8(s->Description), "новое");
    EXPECT_EQ(l.SettingsCount(), 4);
}

TEST(Settings, IdsFoldOnlyAsciiLetters) {
    TSettingList l = deviceSettings();
    EXPECT_EQ(l.GetSettingValueInt(u"defaulttimeout"), 120);
    EXPECT_EQ(l.Find(u"портКассы"), nullptr);  // a Cyrillic letter in another case is another ID
    EXPECT_NE(l.Find(u"ПортКассы"), nullptr);
    // Unknown IDs read as nothing and are not errors.
    EXPECT_EQ(l.GetSettingValueInt(u"Absent"), 0);
    EXPECT_EQ(l.GetSettingValueStr(u"Absent"), u"");
    EXPECT_FALSE(l.GetSettingValueBool(u"Absent"));
    EXPECT_FALSE(l.GetSettingReadOnly(u"Absent"));
    EXPECT_TRUE(l.GetSettingValue(u"Absent").isEmpty());
    EXPECT_EQ(l.GetSetting(-1), nullptr);
    EXPECT_EQ(l.GetSetting(4), nullptr);
}

TEST(Settings, StoredValuesConvertWhenRead) {
    TSettingList l = deviceSettings();
    l.SetSettingValue(u"EventLogEnabled", Variant(u"1"));
    EXPECT_EQ(l.GetSettingValue(u"EventLogEnabled"), Variant(u"1"));  // stored as given
    EXPECT_TRUE(l.GetSettingValueBool(u"EventLogEnabled"));
    l.SetSettingValue(u"DefaultTimeOut", Variant(u"много"));
    EXPECT_THROW(l.GetSettingValueInt(u"DefaultTimeOut"), EError);
    l.SetAllSettingsDefault();
    EXPECT_EQ(l.GetSettingValue(u"DefaultTimeOut"), Variant(120));
}

TEST(Settings, ExchangeArrayShape) {
    Variant out = deviceSettings().ToExchangeArray();
    ASSERT_TRUE(out.isArray());
    EXPECT_EQ(out.array().dimCount(), 1);
    EXPECT_EQ(out.array().highBound(1), 0);
    const VariantArray& t = out.array().at(0).array();
    EXPECT_EQ(t.lowBound(1), 0);
    EXPECT_EQ(t.highBound(1), 6);
    EXPECT_EQ(t.highBound(2), 3);
    EXPECT_EQ(t.at({0, 1}), Variant(u"EventLogEnabled"));
    EXPECT_EQ(t.at({2, 0}), Variant(u"Number"));
    EXPECT_EQ(t.at({4, 3}), Variant(true));
    EXPECT_EQ(t.at({5, 2}), Variant(u"Отладочный лог"));
}

TEST(Settings, ApplyChangesExactlyTheNamedSettingsInAnyOrder) {
    TSettingList l = deviceSettings();
    ASSERT_TRUE(l.ApplyExchangeArray(exchange({{Variant(u"DebugLogEnabled"), Variant(true)},
                                               {Variant(u"Unknown"), Variant(5)},
                                               {Variant(u"defaulttimeout"), Variant(u"30")}})));
    EXPECT_EQ(l.GetSettingValue(u"DebugLogEnabled"), Variant(true));
    EXPECT_EQ(l.GetSettingValue(u"DefaultTimeOut"), Variant(u"30"));  // type kept as sent
    EXPECT_EQ(l.GetSettingValue(u"EventLogEnabled"), Variant(false));
    EXPECT_EQ(l.GetSettingValue(u"ПортКассы"), Variant(u"COM1"));  // read-only is written too, when named
}

TEST(Settings, BadShapesChangeNothing) {
    VariantArray oneRow = VariantArray::matrix(1, 1);
    oneRow.at({0, 0}) = Variant(u"DefaultTimeOut");
    VariantArray oneDim = VariantArray::vector({Variant(u"DefaultTimeOut"), Variant(5)});
    VariantArray badLater = VariantArray::matrix(2, 2);
    badLater.at({0, 0}) = Variant(u"DefaultTimeOut");
    badLater.at({1, 0}) = Variant(5);
    badLater.at({0, 1}) = Variant(VariantArray::vector({}));  // an ID that is not text
    const Variant shapes[] = {
        Variant(u"not an array"),
        Variant(VariantArray::vector({})),
        Variant(VariantArray::vector({Variant(5)})),
        Variant(VariantArray::vector({Variant(oneRow)})),
        Variant(VariantArray::vector({Variant(oneDim)})),
    };
    for (const auto& s : shapes) {
        TSettingList l = deviceSettings();
        EXPECT_FALSE(l.ApplyExchangeArray(s));
        EXPECT_EQ(l.GetSettingValue(u"DefaultTimeOut"), Variant(120));
    }
    TSettingList l = deviceSettings();
    EXPECT_THROW(l.ApplyExchangeArray(Variant(VariantArray::vector({Variant(badLater)}))), EError);
    EXPECT_EQ(l.GetSettingValue(u"DefaultTimeOut"), Variant(120));
}

TEST(Settings, TextToSettingValue) {
    const auto fs = TFormatSettings::russian();
    EXPECT_EQ(TextToSettingValue(TDataType::dtNumber, u"1,5", fs), Variant(1.5));
    EXPECT_EQ(TextToSettingValue(TDataType::dtNumber, u"abc", fs), Variant(0.0));
    EXPECT_EQ(TextToSettingValue(TDataType::dtString, u"x", fs), Variant(u"x"));
    EXPECT_EQ(TextToSettingValue(TDataType::dtDateTime, u"завтра", fs), Variant(u"завтра"));
    EXPECT_EQ(TextToSettingValue(TDataType::dtDateTime, u"01.01.2026", fs).type(), VarType::Date);
    EXPECT_EQ(TextToSettingValue(TDataType::dtBoolean, u"TRUE", fs), Variant(true));
    EXPECT_EQ(TextToSettingValue(TDataType::dtBoolean, u"1", fs), Variant(false));
}
