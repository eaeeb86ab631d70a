// The evaluator object: its life cycle, variables, the error event, the saved form and changes
// to the operator table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "evaluator/NewMathParser.h"

using namespace fr::evaluator;

// The saved form as a fresh buffer.
std::string Saved(const TMathParser& p) {
    std::string stream;
    p.SaveToStream(stream);
    return stream;
}

TEST(MathParser, EmptyExpressionsGiveZeroWithoutError) {
    TMathParser p;
    EXPECT_EQ(p.ParserResult(), 0.0);
    p.SetExpression(u"");
    EXPECT_EQ(p.ParserResult(), 0.0);
    p.SetExpression(u"2+2");
    EXPECT_EQ(p.ParserResult(), 4.0);
    p.SetExpression(u"");
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, 0);
    EXPECT_EQ(p.Error().FPosition, -1);
    EXPECT_EQ(p.Tokens().Count(), 0u);
}

TEST(MathParser, ErrorIsStickyUntilTheTextChanges) {
    TMathParser p;
    p.Variables().Add(u"x", 0.0);
    p.SetExpression(u"1/x");
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecDivisionByZero);
    EXPECT_EQ(p.Error().FPosition, 2);
    p.Variables().Item(u"x").SetValue(1);
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecDivisionByZero);
    p.SetExpression(u"1/x");  // the same text changes nothing
    EXPECT_EQ(p.Error().FCode, ecDivisionByZero);
    p.SetExpression(u"2/x");
    EXPECT_EQ(p.ParserResult(), 2.0);
    EXPECT_EQ(p.Error().FCode, 0);
    EXPECT_EQ(p.Error().FPosition, -1);
}

TEST(MathParser, VariablesAreCaseInsensitiveAndReadAtEveryEvaluation) {
    TMathParser p;
    p.SetExpression(u"PI + Pi - pi");
    EXPECT_DOUBLE_EQ(p.ParserResult(), 3.141592653589793);

    int calls = 0;
    p.Variables().Add(u"Count", [&calls] { return double(++calls); });
    p.Variables().Add(u"k", 10.0);
    p.SetExpression(u"count * K");
    EXPECT_EQ(p.ParserResult(), 10.0);
    EXPECT_EQ(p.ParserResult(), 20.0);
    p.Variables().Add(u"K", 100.0);  // replaced under the same key
    EXPECT_EQ(p.ParserResult(), 300.0);
    EXPECT_EQ(p.Variables().Item(u"COUNT").Name(), u"Count");
    EXPECT_THROW(p.Variables().Item(u"count").SetValue(1), std::logic_error);
    EXPECT_THROW(p.Variables().Item(u"nothing"), std::out_of_range);

    // Without variables the value is computed once.
    std::vector<int32_t> errors;
    p.SetOnError([&](TMathParser&, const TError& e) { errors.push_back(e.FCode); });
    p.SetExpression(u"2*3");
    EXPECT_EQ(p.ParserResult(), 6.0);
    EXPECT_EQ(calls, 3);

    // A variable added after the parse is found at the next evaluation.
    p.SetExpression(u"y+1");
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecUnknownName);
    p.SetExpression(u"y+2");
    p.Variables().Add(u"y", 1.0);
    EXPECT_EQ(p.ParserResult(), 3.0);
    EXPECT_EQ(errors, std::vector<int32_t>{ecUnknownName});
}

TEST(MathParser, NonFiniteVariableIsAnErrorNotAResult) {
    TMathParser p;
    p.Variables().Add(u"x", std::numeric_limits<double>::infinity());
    p.SetExpression(u"1 + x");
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecInvalidOperation);
    EXPECT_EQ(p.Error().FPosition, 5);
}

TEST(MathParser, ResultIsNeverNegativeZero) {
    TMathParser p;
    p.SetExpression(u"roundto(-0.001; 0)");
    EXPECT_FALSE(std::signbit(p.ParserResult()));
}

TEST(MathParser, ErrorEventFollowsEachFailingParseAndComputation) {
    TMathParser p;
    std::vector<std::pair<int32_t, int32_t>> seen;
    p.SetOnError([&](TMathParser& sender, const TError& e) {
        EXPECT_EQ(&sender, &p);
        seen.emplace_back(e.FCode, e.FPosition);
    });
    p.SetExpression(u"2*");
    EXPECT_EQ(seen.size(), 1u);
    p.ParserResult();
    EXPECT_EQ(seen.size(), 2u);
    p.Variables().Add(u"x", 0.0);
    p.SetExpression(u"1/x");
    p.ParserResult();
    p.ParserResult();
    const std::vector<std::pair<int32_t, int32_t>> expected{{14, 2}, {14, 2}, {101, 2}, {101, 2}};
    EXPECT_EQ(seen, expected);
}

TEST(MathParser, SavedFormIsByteExact) {
    TMathParser p;
    p.SetExpression(u"x+1");
    const std::string expected = std::string("\x03\0\0\0x+1\0\0\0\0\x03\0\0\0", 15) +
        // x: value 0, kind 6, name "x", 0 arguments
        std::string("\0\0\0\0\0\0\0\0\x06\x01\0\0\0x\0\0\0\0", 18) +
        // 1: value 1.0, kind 0, no name, 0 arguments
        std::string("\0\0\0\0\0\0\xF0\x3F\0\0\0\0\0\0\0\0\0", 17) +
        // +: kind 1, name "+", 2 arguments
        std::string("\0\0\0\0\0\0\0\0\x01\x01\0\0\0+\x02\0\0\0", 18);
    EXPECT_EQ(Saved(p), expected);
    // Written where the stream stands: after what it already holds.
    std::string stream = "ab";
    p.SaveToStream(stream);
    EXPECT_EQ(stream, "ab" + expected);
}

TEST(MathParser, ReloadedParserComputesWithoutParsing) {
    TMathParser a;
    a.Variables().Add(u"x", 4.0);
    a.SetExpression(u"sqrt(x) * max(2; 3) + Ж");  // ends with an error: saved as well
    a.SetExpression(u"sqrt(x) * max(2; 3) - 1e1");
    const std::string bytes = Saved(a);

    TMathParser b;
    b.Variables().Add(u"X", 4.0);
    ASSERT_TRUE(b.LoadFromStream(bytes));
    EXPECT_EQ(b.Expression(), u"sqrt(x) * max(2; 3) - 1e1");
    EXPECT_EQ(b.ParserResult(), -4.0);
    EXPECT_EQ(b.Tokens()[0].FTextPos, 0);
    // Loaded tokens are looked up by name like parsed ones.
    b.RenameOperation(u"sqrt", u"root");
    EXPECT_EQ(b.ParserResult(), 0.0);
    EXPECT_EQ(b.Error().FCode, ecUnknownName);

    // A saved error code is loaded: the value is 0 until the text changes.
    a.SetExpression(u"1/0");
    a.ParserResult();
    TMathParser c;
    ASSERT_TRUE(c.LoadFromStream(Saved(a)));
    EXPECT_EQ(c.ParserResult(), 0.0);
    EXPECT_EQ(c.Error().FCode, ecDivisionByZero);
    EXPECT_EQ(c.Error().FPosition, -1);
}

TEST(MathParser, LoadRejectsWhatIsNotASavedForm) {
    TMathParser src;
    src.SetExpression(u"abs(-2)");
    const std::string good = Saved(src);

    std::vector<std::string> bad;
    for (size_t n = 0; n < good.size(); ++n) bad.push_back(good.substr(0, n));  // every truncation
    std::string negative = good;
    negative[0] = '\xFF';  // expression length -ish
    bad.push_back(negative);
    std::string kind = good;
    kind[4 + 7 + 4 + 4 + 8] = 7;  // first token's kind
    bad.push_back(kind);
    std::string huge = good;
    huge[4 + 7 + 4 + 3] = 0x7F;  // token count far beyond the data
    bad.push_back(huge);
    std::string nan = good;
    nan[4 + 7 + 4 + 4 + 6] = '\xF8', nan[4 + 7 + 4 + 4 + 7] = '\x7F';  // first value NaN
    bad.push_back(nan);
    std::string utf8 = good;
    utf8[4] = '\xC0';  // overlong encoding in the expression
    bad.push_back(utf8);

    TMathParser p;
    p.SetExpression(u"1+1");
    for (const std::string& b : bad) {
        EXPECT_FALSE(p.LoadFromStream(b)) << testing::PrintToString(b);
        EXPECT_EQ(p.Expression(), u"1+1");
        EXPECT_EQ(p.ParserResult(), 2.0);
    }
    ASSERT_TRUE(p.LoadFromStream(good));
    EXPECT_EQ(p.ParserResult(), 2.0);
    EXPECT_EQ(p.Expression(), u"abs(-2)");
}

TEST(MathParser, LoadedTokensThatCannotBeComputedFailInOrder) {
    // Hand-made lists: a function given more values than it takes, and a bracket in postfix order.
    auto token = [](double v, char kind, const std::string& name, int32_t args) {
        std::string s(8, '\0');
        std::memcpy(s.data(), &v, 8);
        s += kind;
        const int32_t n = static_cast<int32_t>(name.size());
        s.append(reinterpret_cast<const char*>(&n), 4);
        s += name;
        s.append(reinterpret_cast<const char*>(&args), 4);
        return s;
    };
    const std::string header = std::string("\1\0\0\0?\0\0\0\0", 9);
    TMathParser p;
    ASSERT_TRUE(p.LoadFromStream(header + std::string("\x03\0\0\0", 4) + token(1, 0, "", 0) + token(2, 0, "", 0) +
                            token(0, 2, "sin", 2)));
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecTooManyArguments);

    TMathParser q;
    ASSERT_TRUE(q.LoadFromStream(header + std::string("\x02\0\0\0", 4) + token(1, 0, "", 0) + token(0, 3, "(", 0)));
    EXPECT_EQ(q.ParserResult(), 0.0);
    EXPECT_EQ(q.Error().FCode, ecCannotParse);
}

TEST(MathParser, CustomOperationNames) {
    TMathParser p;
    struct Name {
        const char16_t* name;
        bool ok;
    };
    for (const Name& n : std::initializer_list<Name>{{u"e", false},
                                                     {u"E", false},
                                                     {u"sin", false},
                                                     {u"SIN", false},
                                                     {u"2x", false},
                                                     {u"my op", false},
                                                     {u"", false},
                                                     {u"   ", false},
                                                     {u"x-y", false},
                                                     {u"f\u00e9", false},
                                                     {u"_tax2", true},
                                                     {u"Vat", true},
                                                     {u"vat", false},  // now taken
                                                     {u" fee ", true}}) {
        EXPECT_EQ(p.AddCustomOperation(n.name, 1, 0), n.ok) << testing::PrintToString(std::u16string(n.name));
    }
    // Names are stored lower-cased and trimmed, so they can be written.
    EXPECT_TRUE(p.Operations().Contains(u"VAT"));
    EXPECT_TRUE(p.Operations().Contains(u"fee"));

    EXPECT_FALSE(p.RenameOperation(u"sin", u""));
    EXPECT_FALSE(p.RenameOperation(u"sin", u"cos"));
    EXPECT_FALSE(p.RenameOperation(u"nothing", u"other"));
    EXPECT_TRUE(p.RenameOperation(u"SIN", u"Sinus"));
    EXPECT_FALSE(p.Operations().Contains(u"sin"));
}

TEST(MathParser, CustomOperationIsCheckedButHasNoValue) {
    TMathParser p;
    ASSERT_TRUE(p.AddCustomOperation(u"vat", 2, 0));
    p.SetExpression(u"1 + vat(2; 3)");
    EXPECT_EQ(p.ParserResult(), 0.0);
    EXPECT_EQ(p.Error().FCode, ecInvalidOperation);
    EXPECT_EQ(p.Error().FPosition, 5);
    p.SetExpression(u"vat(2; 3; 4)");
    EXPECT_EQ(p.Error().FCode, ecTooManyArguments);
    p.SetExpression(u"vat(2)");
    EXPECT_EQ(p.Error().FCode, ecNotEnoughArguments);
}

TEST(MathParser, RenameAppliesToLaterParsesAndToEvaluation) {
    TMathParser p;
    p.Variables().Add(u"x", 16.0);
    p.SetExpression(u"1 + sqrt(x)");
    EXPECT_EQ(p.ParserResult(), 5.0);
    ASSERT_TRUE(p.RenameOperation(u"sqrt", u"root"));
    EXPECT_EQ(p.ParserResult(), 0.0);  // "sqrt" is unknown now
    EXPECT_EQ(p.Error().FCode, ecUnknownName);
    EXPECT_EQ(p.Error().FPosition, 5);
    p.SetExpression(u"1 + root(x)");
    EXPECT_EQ(p.ParserResult(), 5.0);

    // The sign of a renamed operator still reads as that operator, which is unknown now; the
    // renamed entry keeps its value.
    ASSERT_TRUE(p.RenameOperation(u"+", u"plus"));
    p.SetExpression(u"1+2");
    EXPECT_EQ(p.Error().FCode, ecUnknownName);
    EXPECT_EQ(p.Error().FPosition, 2);
    p.SetExpression(u"plus(1; 2)");
    EXPECT_EQ(p.ParserResult(), 3.0);
}

TEST(MathParser, PositionsCountUtf16Units) {
    TMathParser p;
    p.SetExpression(u"\U0001F600+1");  // a surrogate pair: two units
    EXPECT_EQ(p.Error().FCode, ecInvalidChar);
    EXPECT_EQ(p.Error().FPosition, 1);
    p.SetExpression(u"1+x\U0001F600");
    EXPECT_EQ(p.Error().FPosition, 4);
    p.SetExpression(u"\U0001F600\U0001F600");
    EXPECT_EQ(p.Error().FPosition, 1);
    p.SetExpression(u"2+\u212A");  // the Kelvin sign lower-cases to "k"
    EXPECT_EQ(p.Error().FCode, 0);
    p.ParserResult();
    EXPECT_EQ(p.Error().FCode, ecUnknownName);
    EXPECT_EQ(p.Error().FPosition, 3);
}
