#pragma once
// TBaseObject: the driver object's IDispatch by name. Subclasses register their methods in
// Initialize; the host finds them with GetIDsOfNames and calls them with Invoke (module/ wraps
// the object in a real COM object and does the VARIANT copying on both sides).
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "automation/AutomationObject.h"
#include "automation/Variant.h"
#include "dispatch/uEquipmentErrors.h"
#include "dispatch/uInputReaders.h"
#include "dispatch/uMethodTable.h"
#include "dispatch/uSettings.h"

namespace fr {

// DISPID space: table indexes, then extension names from 65535, and nothing from 100000 on.
constexpr int32_t kExtMethodDispIdBase = 65535;
constexpr int32_t kRefusedDispIdBase = 100000;

class TBaseObject : public DispatchTarget {
public:
    // Objects are made through create<T>(): Initialize runs after construction, when virtual calls
    // reach the most derived class, so every class of the chain gets to register its methods.
    // The last reference runs Destroy while the whole object still stands, so the clean-up hooks
    // of every class of the chain are reached.
    template <class T, class... A>
    static std::shared_ptr<T> create(A&&... args) {
        static_assert(std::is_base_of_v<TBaseObject, T>);
        auto object = std::make_shared<Finalized<T>>(std::forward<A>(args)...);
        object->Initialize();
        return object;
    }

    TBaseObject() = default;
    ~TBaseObject() override = default;
    // Handlers are bound to this object.
    TBaseObject(const TBaseObject&) = delete;
    TBaseObject& operator=(const TBaseObject&) = delete;

    // Subclasses call the inherited Initialize first, then register their methods.
    virtual void Initialize();
    // Clean-up before the object goes; subclasses call the inherited one last. Never raises.
    virtual void Destroy() noexcept;

    // DispatchTarget, for the COM bridge and DispatchObject.
    HResult getIDsOfNames(const std::u16string& name, int32_t& dispid) final { return GetIDsOfNames(name, dispid); }
    HResult invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                   ExcepInfo& excep) final {
        return Invoke(dispid, flags, args, result, excep);
    }
    // A public method reads InData and TimeOut and writes only OutData; the others take every
    // argument and write each back. Puts back only on the way to S_OK; result means something only
    // with S_OK. Never throws.
    HResult invokeArgs(int32_t dispid, uint16_t flags, CallArgs& args, Variant& result, ExcepInfo& excep) final;

    // S_OK with the DISPID, or E_NOTIMPL with -1.
    virtual HResult GetIDsOfNames(const std::u16string& name, int32_t& dispid);
    // args: the host's arguments in host order; the call writes its by-reference results into
    // args (OutData of a public method; every argument of the others) only when S_OK is returned;
    // result means something only with S_OK. Never throws.
    HResult Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result, ExcepInfo& excep);

    virtual void BeginDebugLog() {}
    virtual std::u16string GetDriverResultDescription(int32_t resultCode);

    const std::u16string& InstanceID() const { return FInstanceID; }
    const TMethodArray& MethodList() const { return FMethodList; }
    const std::vector<std::u16string>& ExtMethodList() const { return FExtMethodList; }

    // ---- the debug log ----
    // Switching it on writes the header (BeginDebugLog); lines are only built while it is on.
    virtual bool DebugLogEnabled() const { return FDebugLogEnabled; }
    void SetDebugLogEnabled(bool value);
    // One line into the day's file; a line that cannot be written is dropped.
    virtual void DebugLog(const std::u16string& caption, const std::u16string& text, bool raw = false);
    const std::u16string& DebugLogDir() const { return FDebugLogDir; }

    // ---- the settings store ----
    void AddSetting(const std::u16string& id, TDataType type, const Variant& def, bool readOnly,
                    const std::u16string& name, const std::u16string& description) {
        FSettingList.AddSetting(id, type, def, readOnly, name, description);
    }
    Variant GetSettingValue(const std::u16string& id, bool defaultValue = false) const {
        return FSettingList.GetSettingValue(id, defaultValue);
    }
    bool GetSettingValueBool(const std::u16string& id) const { return FSettingList.GetSettingValueBool(id); }
    int32_t GetSettingValueInt(const std::u16string& id) const { return FSettingList.GetSettingValueInt(id); }
    int64_t GetSettingValueCurr(const std::u16string& id) const { return FSettingList.GetSettingValueCurr(id); }
    double GetSettingValueDbl(const std::u16string& id) const { return FSettingList.GetSettingValueDbl(id); }
    std::u16string GetSettingValueStr(const std::u16string& id) const { return FSettingList.GetSettingValueStr(id); }
    double GetSettingValueDate(const std::u16string& id) const { return FSettingList.GetSettingValueDate(id); }
    bool GetSettingReadOnly(const std::u16string& id) const { return FSettingList.GetSettingReadOnly(id); }
    void SetSettingValue(const std::u16string& id, const Variant& value) { FSettingList.SetSettingValue(id, value); }
    void SetAllSettingsDefault() { FSettingList.SetAllSettingsDefault(); }
    const TSettingList& Settings() const { return FSettingList; }

protected:
    // [code, description] or, when FExtData holds something, [code, description, FExtData].
    Variant MakeErrorOutData(int32_t code, const std::u16string& description) const;

    TMethodStruct& FindOrAddMethod(std::u16string_view name) { return fr::FindOrAddMethod(FMethodList, name); }
    void RegisterPrivateMethod(std::u16string_view name, TPrivateMethod handler);
    void RegisterPublicMethod(std::u16string_view name, TPublicMethod handler);
    void RegisterSpecificMethod(std::u16string_view name, TPublicMethod handler);

    // Member-function forms: RegisterPublicMethod(u"Open", &TMyDevice::Open).
    template <class T>
    void RegisterPrivateMethod(std::u16string_view name, Variant (T::*method)(std::vector<Variant>&)) {
        T* self = as<T>();
        RegisterPrivateMethod(name, TPrivateMethod([self, method](std::vector<Variant>& p) { return (self->*method)(p); }));
    }
    template <class T>
    void RegisterPublicMethod(std::u16string_view name,
                              int32_t (T::*method)(Variant&, Variant&, int32_t, std::u16string&)) {
        RegisterPublicMethod(name, bindPublic(method));
    }
    template <class T>
    void RegisterSpecificMethod(std::u16string_view name,
                                int32_t (T::*method)(Variant&, Variant&, int32_t, std::u16string&)) {
        RegisterSpecificMethod(name, bindPublic(method));
    }

    // Trace points of a call, reached only while the debug log is on: "> Name" before the handler,
    // "< Name" after it. The debug log renders the values.
    virtual void TracePublicStart(const std::u16string& name, const Variant& inData);
    virtual void TracePublicEnd(const std::u16string& name, const Variant& result, const Variant& outData);
    virtual void TracePrivateStart(const std::u16string& name, const std::vector<Variant>& params);
    virtual void TracePrivateEnd(const std::u16string& name, const Variant& result,
                                 const std::vector<Variant>& params);

    std::vector<std::u16string> FExtMethodList;  // extension names, in the order first asked for
    Variant FExtData;                            // appended to the error OutData when a handler fills it
    TExtMethod FOnExtMethod;                     // handler for names not in the table; usually unassigned
    std::u16string FInstanceID;
    TMethodArray FMethodList;
    TSettingList FSettingList;
    bool FDebugLogEnabled = false;
    std::u16string FDebugLogDir;

private:
    template <class T>
    struct Finalized final : T {
        using T::T;
        ~Finalized() override { this->Destroy(); }
    };

    template <class T>
    T* as() {
        static_assert(std::is_base_of_v<TBaseObject, T>);
        return static_cast<T*>(this);
    }
    template <class T>
    TPublicMethod bindPublic(int32_t (T::*method)(Variant&, Variant&, int32_t, std::u16string&)) {
        T* self = as<T>();
        return [self, method](Variant& in, Variant& out, int32_t timeOut, std::u16string& description) {
            return (self->*method)(in, out, timeOut, description);
        };
    }

    // Defined beside invokeArgs, their only caller, and laid into its frame: every call runs
    // through them, and a frame of their own was a measurable part of a call.
    inline HResult CallMethod(int32_t dispid, Variant& result, CallArgs& args);
    inline HResult CallPublic(const TMethodStruct* entry, const std::u16string* extName, bool logOn,
                              Variant& result, CallArgs& args);
    HResult CallPrivate(const TMethodStruct& entry, bool logOn, Variant& result, CallArgs& args);
    HResult ReportException(ExcepInfo& excep, const std::u16string& source, const std::u16string& message) noexcept;
};

}  // namespace fr
