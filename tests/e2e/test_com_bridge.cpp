// fr_combridge in process: VARIANT conversions, the IDispatch bridge and ComAutomationObject,
// without registration.
#include <dispex.h>
#include <gtest/gtest.h>

#include <cmath>

#include "ComTestUtil.h"
#include "automation/Errors.h"
#include "support/TestDispatchClass.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

ComApartment gApartment;

struct ScalarCase {
    const char* name;
    Variant value;
    VARTYPE vt;
};

TEST(ComVariant, ScalarsKeepTypeAndValueBothWays) {
    Decimal dec;
    dec.scale = 4;
    dec.negative = true;
    dec.hi32 = 7;
    dec.lo64 = 0x123456789ABCDEF0ull;
    const std::u16string withNul(u"а\0б", 3);
    const ScalarCase cases[] = {
        {"empty", Variant(), VT_EMPTY},
        {"null", Variant::null(), VT_NULL},
        {"i2", Variant::ofInt(VarType::I2, -32768), VT_I2},
        {"i4", Variant(INT32_MIN), VT_I4},
        {"r4", Variant::ofReal4(1.5f), VT_R4},
        {"r8", Variant(-2.25e300), VT_R8},
        {"cy", Variant::currency(-922337203685477LL), VT_CY},
        {"date", Variant::date(45000.75), VT_DATE},
        {"bstr with NUL", Variant(withNul), VT_BSTR},
        {"empty bstr", Variant(u""), VT_BSTR},
        {"error", Variant::error(static_cast<int32_t>(0x80020004)), VT_ERROR},
        {"true", Variant(true), VT_BOOL},
        {"false", Variant(false), VT_BOOL},
        {"decimal", Variant::decimal(dec), VT_DECIMAL},
        {"i1", Variant::ofInt(VarType::I1, -128), VT_I1},
        {"ui1", Variant::ofInt(VarType::UI1, 255), VT_UI1},
        {"ui2", Variant::ofInt(VarType::UI2, 65535), VT_UI2},
        {"ui4", Variant::ofInt(VarType::UI4, 4294967295LL), VT_UI4},
        {"i8", Variant::ofInt(VarType::I8, INT64_MIN), VT_I8},
        {"ui8", Variant::ofUInt64(UINT64_MAX), VT_UI8},
        {"int", Variant::ofInt(VarType::Int, -5), VT_INT},
        {"uint", Variant::ofInt(VarType::UInt, 4000000000LL), VT_UINT},
        {"null dispatch", Variant(std::shared_ptr<AutomationObject>()), VT_DISPATCH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedVariant sv(c.value);
        EXPECT_EQ(V_VT(sv.get()), c.vt);
        EXPECT_EQ(fromVariant(*sv), c.value);
    }
    // The host's representation, not only the round trip.
    ScopedVariant t{Variant(true)};
    EXPECT_EQ(V_BOOL(t.get()), VARIANT_TRUE);
    ScopedVariant cy{Variant::currency(12345)};
    EXPECT_EQ(V_CY(cy.get()).int64, 12345);
    ScopedVariant s{Variant(withNul)};
    EXPECT_EQ(SysStringLen(V_BSTR(s.get())), 3u);
}

// A SAFEARRAY built with the platform's own element API must read with the same indexes.
TEST(ComVariant, SafeArrayIndexesAndBoundsMatchTheHost) {
    SAFEARRAYBOUND sab[2] = {{2, 1}, {3, -1}};  // [1..2, -1..1]
    SAFEARRAY* psa = SafeArrayCreate(VT_I4, 2, sab);
    ASSERT_NE(psa, nullptr);
    for (LONG i = 1; i <= 2; ++i)
        for (LONG j = -1; j <= 1; ++j) {
            LONG idx[2] = {i, j};
            LONG value = i * 10 + j;
            ASSERT_EQ(SafeArrayPutElement(psa, idx, &value), S_OK);
        }
    ScopedVariant host;
    V_VT(host.get()) = VT_ARRAY | VT_I4;
    V_ARRAY(host.get()) = psa;

    Variant v = fromVariant(*host);
    ASSERT_TRUE(v.isArray());
    const VariantArray& a = v.array();
    EXPECT_EQ(a.elementType(), VarType::I4);
    ASSERT_EQ(a.dimCount(), 2);
    EXPECT_EQ(a.lowBound(1), 1);
    EXPECT_EQ(a.highBound(1), 2);
    EXPECT_EQ(a.lowBound(2), -1);
    EXPECT_EQ(a.highBound(2), 1);
    for (int32_t i = 1; i <= 2; ++i)
        for (int32_t j = -1; j <= 1; ++j) EXPECT_EQ(a.at({i, j}), Variant(i * 10 + j)) << i << "," << j;

    // And back: the same shape and elements.
    ScopedVariant back(v);
    ASSERT_EQ(V_VT(back.get()), VT_ARRAY | VT_I4);
    SAFEARRAY* out = V_ARRAY(back.get());
    ASSERT_EQ(SafeArrayGetDim(out), 2u);
    LONG lo = 0, hi = 0;
    SafeArrayGetLBound(out, 2, &lo);
    SafeArrayGetUBound(out, 2, &hi);
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, 1);
    LONG idx[2] = {2, -1};
    LONG value = 0;
    ASSERT_EQ(SafeArrayGetElement(out, idx, &value), S_OK);
    EXPECT_EQ(value, 19);
}

TEST(ComVariant, NestedVariantArraysAndTypedArraysRoundTrip) {
    VariantArray cube({{0, 2}, {5, 1}, {-3, 2}}, VarType::Variant);
    int n = 0;
    for (auto& item : cube.items()) item = Variant(n++);
    cube.at({1, 5, -2}) = Variant(VariantArray::vector({Variant(u"внутри"), Variant::null(), Variant::currency(1)}));
    VariantArray texts({{1, 2}}, VarType::BStr);
    texts.at(1) = Variant(u"один");
    texts.at(2) = Variant(u"два");
    VariantArray dates({{0, 1}}, VarType::Date);
    dates.at(0) = Variant::date(2.5);
    const Variant cases[] = {Variant(cube), Variant(texts), Variant(dates), Variant(VariantArray::vector({})),
                             Variant(VariantArray())};
    for (const auto& c : cases) {
        ScopedVariant sv(c);
        EXPECT_TRUE(V_VT(sv.get()) & VT_ARRAY);
        EXPECT_EQ(fromVariant(*sv), c);
    }
    ScopedVariant t{Variant(texts)};
    EXPECT_EQ(V_VT(t.get()), VT_ARRAY | VT_BSTR);
}

TEST(ComVariant, ReferencesAreFollowedToTheValue) {
    VARIANT inner = i4(42);
    VARIANT mid = refTo(&inner);
    VARIANT outer = refTo(&mid);
    EXPECT_EQ(fromVariant(outer), Variant(42));

    SHORT small = -7;
    VARIANT typed = empty();
    V_VT(&typed) = VT_BYREF | VT_I2;
    V_I2REF(&typed) = &small;
    EXPECT_EQ(fromVariant(typed), Variant::ofInt(VarType::I2, -7));

    ScopedVariant arr(Variant(VariantArray::vector({Variant(1), Variant(u"x")})));
    SAFEARRAY* psa = V_ARRAY(arr.get());
    VARIANT arrRef = empty();
    V_VT(&arrRef) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&arrRef) = &psa;
    EXPECT_EQ(fromVariant(arrRef), Variant(VariantArray::vector({Variant(1), Variant(u"x")})));
}

TEST(ComVariant, MalformedInputRaisesInsteadOfCrashing) {
    VARIANT loop = empty();
    loop = refTo(&loop);  // refers to itself
    EXPECT_THROW(fromVariant(loop), EVariantError);

    VARIANT nullRef = empty();
    V_VT(&nullRef) = VT_BYREF | VT_I4;
    V_I4REF(&nullRef) = nullptr;
    EXPECT_THROW(fromVariant(nullRef), EVariantError);

    VARIANT record = empty();
    V_VT(&record) = VT_RECORD;
    EXPECT_THROW(fromVariant(record), EVariantError);
}

// ---- the bridge, called through its IDispatch ----

class BridgeTest : public ::testing::Test {
protected:
    std::shared_ptr<test::TTestDispatchObject> target = test::TTestDispatchObject::New();
    ComPtr<IDispatch> disp = createDispatchBridge(target);
};

TEST_F(BridgeTest, ObjectCountFollowsTheLastRelease) {
    long before = liveObjectCount();
    {
        ComPtr<IDispatch> second = createDispatchBridge(target);
        EXPECT_EQ(liveObjectCount(), before + 1);
        ComPtr<IDispatch> copy = second;
        second.reset();
        EXPECT_EQ(liveObjectCount(), before + 1);
    }
    EXPECT_EQ(liveObjectCount(), before);
    ComPtr<IDispatchEx> ex = disp.query<IDispatchEx>(__uuidof(IDispatchEx));
    EXPECT_FALSE(ex);
}

TEST_F(BridgeTest, ArgumentThatCannotBeReadIsAnExceptionNotACrash) {
    VARIANT loop = empty();
    loop = refTo(&loop);
    Excep excep;
    HRESULT hr = invokeRaw(disp.get(), dispidOf(disp.get(), L"Echo"), DISPATCH_METHOD, {loop}, nullptr, &excep.ei);
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(excep.ei.scode, 1001);
    EXPECT_FALSE(text(excep.ei.bstrDescription).empty());

    LPOLESTR none[1] = {nullptr};
    DISPID id = 0;
    EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, none, 1, 0, &id), E_INVALIDARG);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    DISPPARAMS broken{nullptr, nullptr, 2, 0};
    EXPECT_EQ(disp->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr), E_INVALIDARG);
}

// ---- ComAutomationObject: the core calling a COM object ----

TEST_F(BridgeTest, AutomationObjectCallsThroughIDispatch) {
    ComAutomationObject obj(disp.get());
    std::vector<Arg> args{Arg(Variant()), Arg(Variant(u"старое"), true), Arg(Variant(0))};
    EXPECT_EQ(obj.call(u"fillout", args), Variant(true));
    EXPECT_EQ(args[1].value, Variant(VariantArray::vector({Variant(u"Строка"), Variant(42), Variant(true)})));

    std::vector<Arg> echo{Arg(Variant(u"x")), Arg(Variant(21), true)};
    EXPECT_EQ(obj.call(u"Echo", echo), Variant(u"x"));
    EXPECT_EQ(echo[1].value, Variant(42));

    try {
        obj.call(u"RaisePrivate");
        FAIL() << "no error";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.message(), test::kRaisePrivateMessage);
    }
    EXPECT_THROW(obj.call(u"NoSuchMethod"), EOleError);
}

TEST_F(BridgeTest, ObjectsComeBackAsTheSameIDispatch) {
    auto self = std::make_shared<ComAutomationObject>(disp.get());
    ScopedVariant sv{Variant(std::static_pointer_cast<AutomationObject>(self))};
    ASSERT_EQ(V_VT(sv.get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(sv.get()), disp.get());

    // Through a call: the callee gets it as an object and returns it unchanged.
    Variant back = self->callWith(u"Echo", {Variant(std::static_pointer_cast<AutomationObject>(self))});
    ASSERT_TRUE(back.isObject());
    auto* com = dynamic_cast<ComAutomationObject*>(back.object().get());
    ASSERT_NE(com, nullptr);
    EXPECT_EQ(com->dispatch(), disp.get());

    // A portable object crosses as a bridge that answers by name.
    auto local = std::make_shared<DispatchObject>(test::TTestDispatchObject::New());
    ScopedVariant lv{Variant(std::static_pointer_cast<AutomationObject>(local))};
    ASSERT_EQ(V_VT(lv.get()), VT_DISPATCH);
    ComAutomationObject viaCom(V_DISPATCH(lv.get()));
    EXPECT_EQ(viaCom.callWith(u"Echo", {Variant(7)}), Variant(7));
}

// A script object: GetIDsOfNames knows nothing, IDispatchEx::GetDispID answers case-insensitively,
// only InvokeEx calls.
class ScriptLikeObject final : public IDispatchEx {
public:
    int invokeExCalls = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, __uuidof(IDispatchEx))) {
            *out = static_cast<IDispatchEx*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD flags, DISPID* id) override {
        if (!(flags & fdexNameCaseInsensitive) || lstrcmpiW(name, L"greet") != 0) return DISP_E_UNKNOWNNAME;
        *id = 5;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID, WORD, DISPPARAMS* dp, VARIANT* res, EXCEPINFO*,
                                       IServiceProvider*) override {
        ++invokeExCalls;
        if (id != 5 || dp->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
        Variant who = fromVariant(dp->rgvarg[0]);
        toVariant(Variant(u"привет, " + who.toText()), *res);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }
};

TEST(ComAutomation, ScriptObjectsAnswerThroughIDispatchEx) {
    ScriptLikeObject script;
    ComAutomationObject obj(static_cast<IDispatchEx*>(&script));
    EXPECT_EQ(obj.callWith(u"GREET", {Variant(u"мир")}), Variant(u"привет, мир"));
    EXPECT_EQ(obj.callWith(u"GREET", {Variant(u"вам")}), Variant(u"привет, вам"));
    EXPECT_EQ(script.invokeExCalls, 2);
    EXPECT_THROW(obj.call(u"Other"), EOleError);
}

TEST(ComAutomation, CreateOleObjectUsesTheSystemRegistry) {
    installSystemOleFactory();
    auto dict = CreateOleObject(u"Scripting.Dictionary");
    dict->callWith(u"Add", {Variant(u"ключ"), Variant(5)});
    EXPECT_EQ(dict->call(u"Count").toInt(), 1);
    EXPECT_EQ(dict->callWith(u"Item", {Variant(u"ключ")}), Variant(5));
    EXPECT_THROW(CreateOleObject(u"Eqdr.NoSuchClass"), EOleError);
}

}  // namespace
