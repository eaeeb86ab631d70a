// How a Variant holds its value: short text inline, longer text shared, objects and arrays owned.
// Every copy, move and assignment between the kinds must leave exactly the value it was given,
// whatever the target held before (the sanitizers see any double release or leak).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/AutomationObject.h"
#include "automation/Variant.h"

using namespace fr;

namespace {

class TNothing : public AutomationObject {
public:
    using AutomationObject::call;
    Variant call(const std::u16string&, std::vector<Arg>&) override { return Variant(); }
};

// One value of each way of holding it.
std::vector<std::pair<const char*, Variant>> oneOfEachKind() {
    Decimal dec;
    dec.scale = 2;
    dec.lo64 = 12345;
    return {
        {"empty", Variant()},
        {"integer", Variant(-7)},
        {"real", Variant(2.5)},
        {"decimal", Variant::decimal(dec)},
        {"text of 15 characters", Variant(u"Строка из 15 зн")},
        {"text of 16 characters", Variant(u"Строка из 16 зна")},
        {"object", Variant(std::make_shared<TNothing>())},
        {"array", Variant(VariantArray::vector({Variant(1), Variant(u"Наименование товара"), Variant()}))},
    };
}

TEST(VariantStorage, TextKeepsEveryCharacterOnBothSidesOfTheInlineLimit) {
    const std::u16string texts[] = {
        u"",
        u"я",
        std::u16string(u"а\0б", 3),
        std::u16string(Variant::kInlineTextLength, u'щ'),
        std::u16string(Variant::kInlineTextLength + 1, u'щ'),
        u"Наименование товара, которое длиннее любого встроенного буфера",
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(text.size());
        Variant fromString(text);
        Variant fromView(std::u16string_view{text});
        EXPECT_TRUE(fromString.isText());
        EXPECT_EQ(fromString.rawText(), text);
        EXPECT_EQ(fromString.toText(), text);
        EXPECT_EQ(fromView, fromString);
        if (text.find(u'\0') == std::u16string::npos) {
            EXPECT_EQ(Variant(text.c_str()), fromString);
        }
        // Only the last character differs: equality looks at all of them, not at the length alone.
        if (!text.empty()) {
            std::u16string other = text;
            other.back() = u'ж';
            EXPECT_FALSE(Variant(other) == fromString);
        }
        Variant copy;
        {
            Variant source(text);
            copy = source;
        }  // the copy outlives its source
        EXPECT_EQ(copy.rawText(), text);
        Variant moved(std::move(copy));
        EXPECT_EQ(moved.rawText(), text);
    }
}

TEST(VariantStorage, EveryKindReplacesEveryKind) {
    const auto kinds = oneOfEachKind();
    for (const auto& [fromName, from] : kinds) {
        for (const auto& [toName, to] : kinds) {
            SCOPED_TRACE(std::string(fromName) + " := " + toName);
            Variant copied = from;
            EXPECT_EQ(copied, from);
            copied = to;
            EXPECT_EQ(copied, to);
            Variant moved = from;
            Variant source = from;  // what it held before may linger where the new value does not reach
            source = to;
            moved = std::move(source);
            EXPECT_EQ(moved, to);
            // What is moved from keeps no text and takes a new value.
            EXPECT_TRUE(source.rawText().empty());
            source = from;
            EXPECT_EQ(source, from);
            Variant constructed(std::move(moved));
            EXPECT_EQ(constructed, to);
        }
        SCOPED_TRACE(fromName);
        Variant self = from;
        Variant& alias = self;
        self = static_cast<const Variant&>(alias);
        EXPECT_EQ(self, from);
        self = std::move(alias);
        EXPECT_EQ(self, from);
    }
}

TEST(VariantStorage, AnElementOfItsOwnArrayCanBeAssigned) {
    const Variant text(u"Наименование товара");
    const Variant inner(VariantArray::vector({Variant(1), text}));
    Variant copied(VariantArray::vector({Variant(0), text, inner}));
    copied = copied.array().at(1);
    EXPECT_EQ(copied, text);
    Variant moved(VariantArray::vector({Variant(0), text, inner}));
    moved = std::move(moved.array().at(2));
    EXPECT_EQ(moved, inner);
}

TEST(VariantStorage, FieldsTheTypeDoesNotUseReadEmpty) {
    Decimal dec;
    dec.scale = 1;
    dec.hi32 = 3;
    dec.lo64 = 99;
    const std::u16string longText = u"Строка длиннее пятнадцати знаков";
    std::shared_ptr<AutomationObject> object = std::make_shared<TNothing>();
    // What each raw accessor reads: the value where the type uses the field, else nothing.
    struct Case {
        const char* name;
        Variant value;
        int64_t rawInt;
        double rawReal;
        std::u16string rawText;
        Decimal rawDecimal;
        std::shared_ptr<AutomationObject> object;
    };
    const Case cases[] = {
        {"integer", Variant(-1), -1, 0, u"", {}, nullptr},
        {"currency", Variant::currency(-10000), -10000, 0, u"", {}, nullptr},
        {"real", Variant(-2.5), 0, -2.5, u"", {}, nullptr},
        {"date", Variant::date(45000.75), 0, 45000.75, u"", {}, nullptr},
        {"decimal", Variant::decimal(dec), 0, 0, u"", dec, nullptr},
        {"short text", Variant(u"Строка"), 0, 0, u"Строка", {}, nullptr},
        {"long text", Variant(longText), 0, 0, longText, {}, nullptr},
        {"object", Variant(object), 0, 0, u"", {}, object},
        {"array", Variant(VariantArray::vector({Variant(5)})), 0, 0, u"", {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.rawInt(), c.rawInt);
        EXPECT_EQ(c.value.rawBool(), c.rawInt != 0);
        EXPECT_EQ(c.value.rawReal(), c.rawReal);
        EXPECT_EQ(c.value.rawText(), c.rawText);
        EXPECT_EQ(c.value.rawDecimal(), c.rawDecimal);
        EXPECT_EQ(c.value.object(), c.object);
    }
}

}  // namespace
