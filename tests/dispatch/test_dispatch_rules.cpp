#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "support/TestDispatchClass.h"

namespace fr {
namespace {

using test::TTestDispatchObject;

Variant vec(std::initializer_list<Variant> items) { return Variant(VariantArray::vector(items)); }

// The test class plus handlers that need to reach protected state, and a debug log that records
// which trace points a call passes.
class TRulesObject : public TTestDispatchObject {
public:
    void Initialize() override {
        TTestDispatchObject::Initialize();
        RegisterPublicMethod(u"ПечатьЧека", [](Variant&, Variant&, int32_t, std::u16string&) { return 0; });
        RegisterPublicMethod(u"FailWithExt", [this](Variant&, Variant&, int32_t, std::u16string&) {
            FExtData = Variant(u"доп");
            return 3005;
        });
        RegisterPublicMethod(u"TouchIn", [](Variant& in, Variant&, int32_t, std::u16string&) {
            in = Variant(u"изменено");
            return 0;
        });
        RegisterPrivateMethod(u"Throw", [](std::vector<Variant>& p) -> Variant {
            int kind = p.empty() ? 0 : p[0].toInt();
            if (kind == 0) throw std::runtime_error("сбой стандартной библиотеки");
            if (kind == 1) throw 42;
            throw EVariantError(u"Ошибка преобразования");
        });
        RegisterPublicMethod(u"ThrowStd", [](Variant&, Variant&, int32_t, std::u16string&) -> int32_t {
            throw std::runtime_error("std");
        });
        RegisterPrivateMethod(u"LogOff", [this](std::vector<Variant>&) {
            LogOn = false;
            return Variant();
        });
    }
    void FillExtList(size_t n) {
        while (FExtMethodList.size() < n) FExtMethodList.push_back(u"x" + u16(std::to_string(FExtMethodList.size())));
    }

    bool LogOn = false;
    std::vector<std::string> Lines;
    bool DebugLogEnabled() const override { return LogOn; }
    void DebugLog(const std::u16string& caption, const std::u16string& text, bool) override {
        Lines.push_back(u8(caption) + "|" + u8(text));
    }

protected:
    void TracePublicStart(const std::u16string& name, const Variant& in) override {
        Lines.push_back("> " + u8(name) + "|" + (in.isEmpty() ? "" : u8(in.toText())));
    }
    void TracePublicEnd(const std::u16string& name, const Variant& result, const Variant& out) override {
        Lines.push_back("< " + u8(name) + "|" + (result.isEmpty() ? "" : u8(result.toText())) +
                        (out.isArray() ? "|array" : ""));
    }
    void TracePrivateStart(const std::u16string& name, const std::vector<Variant>& params) override {
        Lines.push_back("> " + u8(name) + "|" + std::to_string(params.size()));
    }
    void TracePrivateEnd(const std::u16string& name, const Variant&, const std::vector<Variant>&) override {
        Lines.push_back("< " + u8(name));
    }
};

class Dispatch : public ::testing::Test {
protected:
    std::shared_ptr<TRulesObject> obj = TBaseObject::create<TRulesObject>();

    int32_t id(const std::u16string& name) {
        int32_t d = -7;
        EXPECT_EQ(obj->GetIDsOfNames(name, d), kS_OK) << u8(name);
        return d;
    }
    HResult call(const std::u16string& name, std::vector<Variant>& args, Variant& result, ExcepInfo& excep,
                 uint16_t flags = kDISPATCH_METHOD) {
        return obj->invoke(id(name), flags, args, result, excep);
    }
    // A public call as a host makes it: InData, OutData, TimeOut.
    HResult callPublic(const std::u16string& name, Variant& outData, Variant& result, Variant timeOut = Variant(0)) {
        std::vector<Variant> args{Variant(), Variant(u"входящее"), timeOut};
        ExcepInfo excep;
        HResult hr = call(name, args, result, excep);
        outData = args[1];
        return hr;
    }
};

TEST_F(Dispatch, NamesFoldOnlyAsciiCase) {
    struct Case {
        std::u16string name;
        int32_t dispid;
    } cases[] = {
        {u"FillOut", 0}, {u"fillout", 0}, {u"FILLOUT", 0}, {u"printtext", 6},
        {u"ПечатьЧека", 9}, {u"печатьчека", -1}, {u"ПЕЧАТЬЧЕКА", -1},
        {u"FillOut ", -1}, {u"", -1}, {u"Unknown", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(u8(c.name));
        int32_t d = -7;
        EXPECT_EQ(obj->GetIDsOfNames(c.name, d), c.dispid >= 0 ? kS_OK : kE_NOTIMPL);
        EXPECT_EQ(d, c.dispid);
    }
}

TEST_F(Dispatch, ReRegisteringKeepsTheDispidAndOnlyTheLastHandlerRuns) {
    EXPECT_EQ(id(u"PrintText"), 6);
    const TMethodStruct& entry = obj->MethodList()[6];
    EXPECT_EQ(u8(entry.Name), "PrintText");
    EXPECT_TRUE(entry.IsPublic);
    EXPECT_FALSE(entry.PrivateMethod);
    Variant out, result;
    EXPECT_EQ(callPublic(u"PRINTTEXT", out, result), kS_OK);
    EXPECT_EQ(out, Variant(test::kPrintTextResult));
    EXPECT_EQ(result, Variant(true));
    EXPECT_EQ(obj->FirstPrintTextCalls, 0);

    // A name is stored cut to 255 characters, and a second registration of it finds that entry.
    struct TLong : TBaseObject {
        void Initialize() override {
            TBaseObject::Initialize();
            std::u16string name(300, u'A');
            RegisterPublicMethod(name, [](Variant&, Variant&, int32_t, std::u16string&) { return 1; });
            RegisterPrivateMethod(u"Other", [](std::vector<Variant>&) { return Variant(); });
            RegisterPublicMethod(name, [](Variant&, Variant&, int32_t, std::u16string&) { return 0; });
        }
    };
    auto longObj = TBaseObject::create<TLong>();
    ASSERT_EQ(longObj->MethodList().size(), 2u);
    EXPECT_EQ(longObj->MethodList()[0].Name, std::u16string(255, u'A'));
    int32_t d = -7;
    EXPECT_EQ(longObj->GetIDsOfNames(std::u16string(255, u'a'), d), kS_OK);
    EXPECT_EQ(d, 0);
}

TEST_F(Dispatch, TimeOutMustBeOrdinal) {
    struct Case {
        const char* what;
        std::vector<Variant> args;
        HResult hr;
        Variant out;  // host's OutData afterwards
    } cases[] = {
        {"missing", {Variant(), Variant(u"как было")}, kE_INVALIDARG, Variant(u"как было")},
        {"Double", {Variant(), Variant(u"как было"), Variant(5.0)}, kE_INVALIDARG, Variant(u"как было")},
        {"text", {Variant(), Variant(u"как было"), Variant(u"5")}, kE_INVALIDARG, Variant(u"как было")},
        {"Null", {Variant(), Variant(u"как было"), Variant::null()}, kE_INVALIDARG, Variant(u"как было")},
        {"Empty", {Variant(), Variant(u"как было"), Variant()}, kE_INVALIDARG, Variant(u"как было")},
        {"currency", {Variant(), Variant(u"как было"), Variant::currency(50000)}, kE_INVALIDARG, Variant(u"как было")},
        {"I2", {Variant(), Variant(), Variant::ofInt(VarType::I2, 7)}, kS_OK, Variant(7)},
        {"I8", {Variant(), Variant(), Variant::ofInt(VarType::I8, 8)}, kS_OK, Variant(8)},
        {"UI1", {Variant(), Variant(), Variant::ofInt(VarType::UI1, 9)}, kS_OK, Variant(9)},
        {"Bool", {Variant(), Variant(), Variant(true)}, kS_OK, Variant(-1)},
        {"I4", {Variant(), Variant(), Variant(-3)}, kS_OK, Variant(-3)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        Variant result(u"нетронут");
        ExcepInfo excep;
        EXPECT_EQ(call(u"EchoTimeOut", c.args, result, excep), c.hr);
        EXPECT_EQ(c.args[1], c.out);
        EXPECT_EQ(result, c.hr == kS_OK ? Variant(true) : Variant(u"нетронут"));
        EXPECT_FALSE(excep.filled);
    }
    // Ordinal but too wide for the handler's 32-bit TimeOut: the call fails as a handler error would.
    std::vector<Variant> args{Variant(), Variant(), Variant::ofInt(VarType::I8, int64_t{1} << 40)};
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(call(u"EchoTimeOut", args, result, excep), kS_OK);
    EXPECT_EQ(result, Variant(false));
    ASSERT_TRUE(args[1].isArray());
    EXPECT_EQ(args[1].array().at(0), Variant(rcUnknownError));
}

TEST_F(Dispatch, PublicResultsAndTheErrorArray) {
    struct Case {
        std::u16string name;
        Variant out;
        bool value;
    } cases[] = {
        {u"FillOut", vec({Variant(u"Строка"), Variant(42), Variant(true)}), true},
        {u"NoOp", Variant(), true},  // the host's incoming OutData is discarded even on success
        {u"Fail3001", vec({Variant(3001), Variant(u"Нет бумаги")}), false},
        {u"Fail3001Text", vec({Variant(3001), Variant(test::kFail3001Text)}), false},
        {u"Raise", vec({Variant(1001), Variant(test::kRaiseMessage)}), false},
        {u"FailWithExt", vec({Variant(3005), Variant(u"Смена закрыта"), Variant(u"доп")}), false},
        // FExtData is emptied before every public call.
        {u"Fail3001", vec({Variant(3001), Variant(u"Нет бумаги")}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(u8(c.name));
        Variant out, result;
        EXPECT_EQ(callPublic(c.name, out, result), kS_OK);
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(result, Variant(c.value));
    }
    // InData is not written back; a host passing only InData and TimeOut positions still works.
    std::vector<Variant> args{Variant(u"исходное"), Variant(), Variant(0)};
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(call(u"TouchIn", args, result, excep), kS_OK);
    EXPECT_EQ(args[0], Variant(u"исходное"));
}

TEST_F(Dispatch, PrivateMethodsSeeTheArgumentArray) {
    std::vector<Variant> args{Variant(u"ответ"), Variant::ofInt(VarType::I2, 21), Variant(1.5)};
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(call(u"echo", args, result, excep), kS_OK);
    EXPECT_EQ(result, Variant(u"ответ"));
    EXPECT_EQ(args[1], Variant(42));
    EXPECT_EQ(args[2], Variant(1.5));

    std::vector<Variant> none;
    result = Variant(5);
    EXPECT_EQ(call(u"Echo", none, result, excep), kS_OK);
    EXPECT_TRUE(result.isEmpty());
    EXPECT_FALSE(excep.filled);
}

TEST_F(Dispatch, ExceptionsBecomeDispExceptionWithExcepInfo) {
    struct Case {
        std::u16string name;
        std::vector<Variant> args;
        const char* source;
        const char* description;
    } cases[] = {
        {u"RaisePrivate", {Variant(1)}, "ETestError", "Сбой в закрытом методе"},
        {u"Throw", {Variant(0)}, "Exception", "сбой стандартной библиотеки"},
        {u"Throw", {Variant(1)}, "Exception", "Непредвиденное исключение"},
        {u"Throw", {Variant(2)}, "EVariantTypeCastError", "Ошибка преобразования"},
        // Only the ordinary error kind becomes code 1001 in a public method.
        {u"ThrowStd", {Variant(), Variant(u"как было"), Variant(0)}, "Exception", "std"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(u8(c.name));
        const auto before = c.args;
        Variant result(u"нетронут");
        ExcepInfo excep;
        EXPECT_EQ(call(c.name, c.args, result, excep), kDISP_E_EXCEPTION);
        EXPECT_TRUE(excep.filled);
        EXPECT_EQ(excep.scode, 1001);
        EXPECT_EQ(u8(excep.source), c.source);
        EXPECT_EQ(u8(excep.description), c.description);
        EXPECT_EQ(result, Variant(u"нетронут"));
        EXPECT_EQ(c.args, before);
    }
}

TEST_F(Dispatch, RefusedCallsDoNothing) {
    const int32_t tableSize = static_cast<int32_t>(obj->MethodList().size());
    struct Case {
        int32_t dispid;
        uint16_t flags;
        HResult hr;
    } cases[] = {
        {0, kDISPATCH_PROPERTYGET, kE_FAIL},
        {0, kDISPATCH_PROPERTYPUT, kE_FAIL},
        {0, kDISPATCH_PROPERTYPUTREF, kE_FAIL},
        {0, 0, kE_FAIL},
        {0, kDISPATCH_METHOD | kDISPATCH_PROPERTYGET, kS_OK},
        {tableSize, kDISPATCH_METHOD, kE_FAIL},
        {-1, kDISPATCH_METHOD, kE_FAIL},
        {INT32_MIN, kDISPATCH_METHOD, kE_FAIL},
        {65534, kDISPATCH_METHOD, kE_FAIL},
        {65535, kDISPATCH_METHOD, kE_FAIL},  // no extension handler
        {100000, kDISPATCH_METHOD, kE_FAIL},
        {INT32_MAX, kDISPATCH_METHOD, kE_FAIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dispid);
        std::vector<Variant> args{Variant(), Variant(u"как было"), Variant(0)};
        Variant result(u"нетронут");
        ExcepInfo excep;
        EXPECT_EQ(obj->invoke(c.dispid, c.flags, args, result, excep), c.hr);
        if (c.hr != kS_OK) {
            EXPECT_EQ(args[1], Variant(u"как было"));
            EXPECT_EQ(result, Variant(u"нетронут"));
        }
        EXPECT_FALSE(excep.filled);
    }
}

TEST_F(Dispatch, ExtensionMethodsAnswerUnknownNames) {
    int32_t d = 0;
    EXPECT_EQ(obj->GetIDsOfNames(u"Anything", d), kE_NOTIMPL);
    EXPECT_EQ(d, -1);

    obj->InstallExtensionHandler();
    struct Case {
        std::u16string name;
        int32_t dispid;
    } cases[] = {
        {u"Anything", 65535}, {u"ANYTHING", 65535}, {u"Другое", 65536}, {u"ДРУГОЕ", 65536},
        {u"FailNow", 65537}, {u"noop", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(u8(c.name));
        EXPECT_EQ(id(c.name), c.dispid);
    }
    ASSERT_EQ(obj->ExtMethodList().size(), 3u);

    Variant out, result;
    EXPECT_EQ(callPublic(u"anything", out, result), kS_OK);
    EXPECT_EQ(out, Variant(u"Anything"));  // the name as first asked for
    EXPECT_EQ(result, Variant(true));
    EXPECT_EQ(callPublic(u"FailNow", out, result), kS_OK);
    EXPECT_EQ(out, vec({Variant(3001), Variant(u"Нет бумаги")}));
    EXPECT_EQ(callPublic(u"Другое", out, result, Variant(1.5)), kE_INVALIDARG);

    std::vector<Variant> args;
    ExcepInfo excep;
    EXPECT_EQ(obj->invoke(65538, kDISPATCH_METHOD, args, result, excep), kE_FAIL);

    // Names are no longer handed out where their DISPID would reach the refused range.
    obj->FillExtList(100000 - 65535);
    EXPECT_EQ(obj->GetIDsOfNames(u"OneTooMany", d), kE_NOTIMPL);
    EXPECT_EQ(d, -1);
    EXPECT_EQ(id(u"x34464"), 99999);
}

TEST_F(Dispatch, TracePointsRunOnlyWhileTheLogIsOn) {
    struct Case {
        std::u16string name;
        std::vector<Variant> args;
        std::vector<std::string> lines;
    } cases[] = {
        {u"FillOut", {Variant(u"вход"), Variant(), Variant(0)}, {"> FillOut|вход", "< FillOut|True|array"}},
        {u"EchoTimeOut", {Variant(), Variant(), Variant(1.0)}, {"> EchoTimeOut|", "< EchoTimeOut|"}},
        {u"Echo", {Variant(1), Variant(2)}, {"> Echo|2", "< Echo"}},
        {u"RaisePrivate", {},
         {"> RaisePrivate|0", "EXCEPTION|Сбой в закрытом методе", "EXCEPTION|ETestError: Сбой в закрытом методе"}},
        // The closing line needs the log to be on at the end as well.
        {u"LogOff", {}, {"> LogOff|0"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(u8(c.name));
        obj->LogOn = true;
        obj->Lines.clear();
        Variant result;
        ExcepInfo excep;
        call(c.name, c.args, result, excep);
        EXPECT_EQ(obj->Lines, c.lines);
    }
    obj->LogOn = false;
    obj->Lines.clear();
    Variant out, result;
    callPublic(u"Raise", out, result);
    std::vector<Variant> none;
    ExcepInfo excep;
    call(u"RaisePrivate", none, result, excep);
    EXPECT_TRUE(obj->Lines.empty());
}

TEST_F(Dispatch, HostCallsThroughDispatchObject) {
    DispatchObject host(obj);
    std::vector<Arg> args{Arg(vec({Variant(1)})), Arg(Variant(u"старое"), true), Arg(Variant(0))};
    EXPECT_EQ(host.call(u"fillout", args), Variant(true));
    EXPECT_EQ(args[1].value, vec({Variant(u"Строка"), Variant(42), Variant(true)}));
    EXPECT_EQ(host.call(u"Raise", args), Variant(false));
    EXPECT_EQ(args[1].value, vec({Variant(1001), Variant(test::kRaiseMessage)}));

    // A by-value OutData still succeeds; the host simply does not see it.
    std::vector<Arg> byValue{Arg(Variant()), Arg(Variant(u"старое")), Arg(Variant(0))};
    EXPECT_EQ(host.call(u"Fail3001", byValue), Variant(false));
    EXPECT_EQ(byValue[1].value, Variant(u"старое"));

    std::vector<Arg> echo{Arg(Variant(u"эхо")), Arg(Variant(5), true)};
    EXPECT_EQ(host.call(u"ECHO", echo), Variant(u"эхо"));
    EXPECT_EQ(echo[1].value, Variant(10));
    EXPECT_EQ(host.call(u"ECHO", echo), Variant(u"эхо"));  // cached DISPID, second round
    EXPECT_EQ(echo[1].value, Variant(20));

    std::vector<Arg> none;
    try {
        host.call(u"RaisePrivate", none);
        ADD_FAILURE() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(u8(e.message()), "Сбой в закрытом методе");
    }
    EXPECT_THROW(host.call(u"NoSuchMethod", none), EOleError);
}

TEST_F(Dispatch, EachObjectGetsItsOwnInstanceId) {
    std::regex guid("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    auto other = TTestDispatchObject::New();
    EXPECT_TRUE(std::regex_match(u8(obj->InstanceID()), guid)) << u8(obj->InstanceID());
    EXPECT_NE(obj->InstanceID(), other->InstanceID());
    EXPECT_EQ(other->MethodList().size(), 9u);
    EXPECT_EQ(u8(obj->GetDriverResultDescription(3001)), "Нет бумаги");
}

}  // namespace
}  // namespace fr
