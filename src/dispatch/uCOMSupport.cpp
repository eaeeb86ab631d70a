#include "dispatch/uCOMSupport.h"

#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uDebugLog.h"
#include "dispatch/uLogText.h"
#include "platform/Platform.h"

namespace fr {

namespace {

// The extension list searches names the way a case-insensitive string list does: letters of
// both alphabets our hosts use fold, not only ASCII.
char16_t foldLetter(char16_t c) {
    if (c >= u'a' && c <= u'z') return c - 32;
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return c - 32;  // Latin-1 letters
    if (c >= 0x0430 && c <= 0x044F) return c - 32;                  // а..я
    if (c >= 0x0450 && c <= 0x045F) return c - 80;                  // ё and the other Cyrillic extras
    return c;
}

bool sameTextFolded(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldLetter(a[i]) != foldLetter(b[i])) return false;
    return true;
}

}  // namespace

void TBaseObject::Initialize() {
    FExtMethodList.clear();
    FInstanceID = platform::newGuidString();
}

void TBaseObject::Destroy() noexcept { FExtMethodList.clear(); }

void TBaseObject::SetDebugLogEnabled(bool value) {
    if (value == FDebugLogEnabled) return;
    FDebugLogEnabled = value;
    if (value) BeginDebugLog();
}

void TBaseObject::DebugLog(const std::u16string& caption, const std::u16string& text, bool raw) {
    if (!FDebugLogEnabled) return;
    // A line that cannot be written is dropped: logging never changes the outcome of a call.
    WriteDebugLogLine(FDebugLogDir, FInstanceID, caption, text, raw);
}

namespace {
std::u16string paramsText(const std::vector<Variant>& params) {
    return VariantToLogText(Variant(VariantArray::vector(params)));
}
}  // namespace

void TBaseObject::TracePublicStart(const std::u16string& name, const Variant& inData) {
    DebugLog(u"> " + name, u"InData: " + VariantToLogText(inData));
}

void TBaseObject::TracePublicEnd(const std::u16string& name, const Variant& result, const Variant& outData) {
    DebugLog(u"< " + name, u"Result=" + VariantToLogText(result) + u"; OutData: " + VariantToLogText(outData));
}

void TBaseObject::TracePrivateStart(const std::u16string& name, const std::vector<Variant>& params) {
    DebugLog(u"> " + name, u"Params: " + paramsText(params));
}

void TBaseObject::TracePrivateEnd(const std::u16string& name, const Variant& result,
                                  const std::vector<Variant>& params) {
    DebugLog(u"< " + name, u"Result=" + VariantToLogText(result) + u"; Params: " + paramsText(params));
}

std::u16string TBaseObject::GetDriverResultDescription(int32_t resultCode) {
    return ResultCodeDescription(resultCode, {});
}

namespace {
// All three registrations: find or append the entry, then overwrite its kind and handler.
void setMethod(TMethodStruct& m, bool isPublic, bool isSpecific, TPrivateMethod privateHandler,
               TPublicMethod publicHandler) {
    m.IsPublic = isPublic;
    m.IsSpecific = isSpecific;
    m.PrivateMethod = std::move(privateHandler);
    m.PublicMethod = std::move(publicHandler);
}
}  // namespace

void TBaseObject::RegisterPrivateMethod(std::u16string_view name, TPrivateMethod handler) {
    setMethod(FindOrAddMethod(name), false, false, std::move(handler), nullptr);
}

void TBaseObject::RegisterPublicMethod(std::u16string_view name, TPublicMethod handler) {
    setMethod(FindOrAddMethod(name), true, false, nullptr, std::move(handler));
}

void TBaseObject::RegisterSpecificMethod(std::u16string_view name, TPublicMethod handler) {
    setMethod(FindOrAddMethod(name), true, true, nullptr, std::move(handler));
}

HResult TBaseObject::GetIDsOfNames(const std::u16string& name, int32_t& dispid) {
    int32_t index = FindMethod(FMethodList, name);
    if (index >= 0) {
        dispid = index;
        return kS_OK;
    }
    if (FOnExtMethod) {
        for (size_t i = 0; i < FExtMethodList.size(); ++i)
            if (sameTextFolded(FExtMethodList[i], name)) {
                dispid = kExtMethodDispIdBase + static_cast<int32_t>(i);
                return kS_OK;
            }
        // A DISPID from 100000 on would be refused by Invoke: stop handing out new names there.
        int32_t next = kExtMethodDispIdBase + static_cast<int32_t>(FExtMethodList.size());
        if (next < kRefusedDispIdBase) {
            FExtMethodList.push_back(name);
            dispid = next;
            return kS_OK;
        }
    }
    dispid = -1;
    return kE_NOTIMPL;
}

namespace {
// A vector as the arguments of a call: everything the call puts back lands in it.
class VectorArgs final : public CallArgs {
public:
    explicit VectorArgs(std::vector<Variant>& values) : FValues(values) {}
    size_t size() const override { return FValues.size(); }
    Variant get(size_t i) const override { return i < FValues.size() ? FValues[i] : Variant(); }
    void put(size_t i, Variant&& value) override {
        if (i < FValues.size()) FValues[i] = std::move(value);
    }
    std::vector<Variant>& all() override { return FValues; }
    void putAll(std::vector<Variant>&) override {}  // all() is the vector itself: already in place

private:
    std::vector<Variant>& FValues;
};
}  // namespace

HResult TBaseObject::Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                            ExcepInfo& excep) {
    VectorArgs list(args);
    return invokeArgs(dispid, flags, list, result, excep);
}

HResult TBaseObject::ReportException(ExcepInfo& excep, const std::u16string& source,
                                     const std::u16string& message) noexcept {
    try {
        excep.scode = rcUnknownError;
        excep.description = message;
        excep.source = source;
        excep.filled = true;
        if (DebugLogEnabled()) DebugLog(u"EXCEPTION", source + u": " + message);
    } catch (...) {
        // Nothing may leave Invoke; the HRESULT still tells the host the call failed.
    }
    return kDISP_E_EXCEPTION;
}

[[gnu::always_inline]] inline HResult TBaseObject::CallMethod(int32_t dispid, Variant& result, CallArgs& args) {
    bool logOn = DebugLogEnabled();
    if (dispid >= kExtMethodDispIdBase && FOnExtMethod &&
        static_cast<size_t>(dispid - kExtMethodDispIdBase) < FExtMethodList.size()) {
        // A copy: the extension handler may ask for new names, which grows the list.
        std::u16string name = FExtMethodList[static_cast<size_t>(dispid - kExtMethodDispIdBase)];
        return CallPublic(nullptr, &name, logOn, result, args);
    }
    // DISPIDs never handed out are refused like those from 100000 on.
    if (dispid < 0 || static_cast<size_t>(dispid) >= FMethodList.size()) return kE_FAIL;
    const TMethodStruct& entry = FMethodList[static_cast<size_t>(dispid)];
    if (entry.IsPublic) return CallPublic(&entry, nullptr, logOn, result, args);
    return CallPrivate(entry, logOn, result, args);
}

[[gnu::always_inline]] inline HResult TBaseObject::CallPublic(const TMethodStruct* entry, const std::u16string* extName,
                                                              bool logOn, Variant& result, CallArgs& args) {
    const std::u16string& name = extName ? *extName : entry->Name;
    // InData is the handler's own copy: its changes never reach the caller, and the caller's
    // InData is never written back.
    Variant inData = args.get(0);
    Variant outData;
    if (!FExtData.isEmpty()) FExtData = Variant();
    const Variant timeOut = args.get(2);
    if (logOn) TracePublicStart(name, inData);

    if (!timeOut.isOrdinal()) {
        if (logOn && DebugLogEnabled()) TracePublicEnd(name, result, outData);
        return kE_INVALIDARG;
    }

    std::u16string description;
    int32_t code;
    try {
        // Inside the guard: a 64-bit TimeOut that does not fit is the caller's error, not a crash.
        int32_t timeOutValue = timeOut.toInt();
        code = extName ? FOnExtMethod(name, inData, outData, timeOutValue, description)
                       : entry->PublicMethod(inData, outData, timeOutValue, description);
    } catch (const EError& e) {
        description = e.message();
        code = rcUnknownError;
    }
    if (code != rcOK) {
        if (description.empty()) description = GetDriverResultDescription(code);
        outData = MakeErrorOutData(code, description);
    }
    result = Variant(code == rcOK);
    if (logOn && DebugLogEnabled()) TracePublicEnd(name, result, outData);
    args.put(1, std::move(outData));  // nothing when the caller passed no OutData
    return kS_OK;
}

HResult TBaseObject::invokeArgs(int32_t dispid, uint16_t flags, CallArgs& args, Variant& result, ExcepInfo& excep) {
    if (dispid >= kRefusedDispIdBase || !(flags & kDISPATCH_METHOD)) return kE_FAIL;
    try {
        return CallMethod(dispid, result, args);
    } catch (const EError& e) {
        return ReportException(excep, u16(e.className()), e.message());
    } catch (const std::exception& e) {
        return ReportException(excep, u"Exception", u16(e.what()));
    } catch (...) {
        return ReportException(excep, u"Exception", u"Непредвиденное исключение");
    }
}

HResult TBaseObject::CallPrivate(const TMethodStruct& entry, bool logOn, Variant& result, CallArgs& args) {
    std::vector<Variant>& params = args.all();
    if (logOn) TracePrivateStart(entry.Name, params);
    try {
        result = entry.PrivateMethod(params);
    } catch (const EError& e) {
        if (DebugLogEnabled()) DebugLog(u"EXCEPTION", e.message());
        throw;
    }
    if (logOn && DebugLogEnabled()) TracePrivateEnd(entry.Name, result, params);
    args.putAll(params);
    return kS_OK;
}

Variant TBaseObject::MakeErrorOutData(int32_t code, const std::u16string& description) const {
    if (FExtData.isEmpty()) return Variant(VariantArray::vector({Variant(code), Variant(description)}));
    return Variant(VariantArray::vector({Variant(code), Variant(description), FExtData}));
}

}  // namespace fr
