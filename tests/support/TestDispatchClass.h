#pragma once
// A driver object with a handful of handlers that exercise every dispatch rule. Used by the unit
// tests, the dispatch fuzzer and the COM test module (under its own ProgID).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dispatch/uCOMSupport.h"

namespace fr::test {

// Texts the handlers use, so tests can compare against them.
inline constexpr char16_t kFail3001Text[] = u"Бумага закончилась, заправьте рулон";
inline constexpr char16_t kRaiseMessage[] = u"Сбой в обработчике метода";
inline constexpr char16_t kRaisePrivateMessage[] = u"Сбой в закрытом методе";
inline constexpr char16_t kRaisePrivateClass[] = u"ETestError";
inline constexpr char16_t kPrintTextResult[] = u"PrintText: второй обработчик";

// Methods, in DISPID order:
//  0 FillOut       public: OutData := [u"Строка", 42, true]; returns 0
//  1 Fail3001      public: fills OutData, returns 3001 without a description
//  2 Fail3001Text  public: returns 3001 with kFail3001Text
//  3 Raise         public: throws EError(kRaiseMessage)
//  4 Echo          private: returns Params[0]; doubles an integer Params[1] in place
//  5 RaisePrivate  private: throws EError(kRaisePrivateMessage, class kRaisePrivateClass)
//  6 PrintText     registered private, then public: OutData := kPrintTextResult; returns 0
//  7 NoOp          public: returns 0, touches nothing
//  8 EchoTimeOut   public: OutData := TimeOut (I4); returns 0
class TTestDispatchObject : public TBaseObject {
public:
    static std::shared_ptr<TTestDispatchObject> New() { return create<TTestDispatchObject>(); }

    void Initialize() override;

    // Installs an extension handler: any unknown name then answers, OutData := the name; a name
    // starting with "Fail" returns 3001.
    void InstallExtensionHandler();

    int FirstPrintTextCalls = 0;  // calls that reached the replaced PrintText handler

protected:
    int32_t FillOut(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t Fail3001(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t Fail3001Text(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t Raise(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    Variant Echo(std::vector<Variant>& Params);
    Variant RaisePrivate(std::vector<Variant>& Params);
    int32_t PrintText(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t NoOp(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t EchoTimeOut(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
};

}  // namespace fr::test
