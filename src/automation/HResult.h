#pragma once
// The few HRESULT values the automation layer speaks, as plain numbers (no Windows headers here).
#include <cstdint>

namespace fr {

using HResult = int32_t;
constexpr HResult kS_OK = 0;
constexpr HResult kE_NOTIMPL = static_cast<HResult>(0x80004001u);
constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult kE_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult kE_OUTOFMEMORY = static_cast<HResult>(0x8007000Eu);
constexpr HResult kE_UNEXPECTED = static_cast<HResult>(0x8000FFFFu);
constexpr HResult kDISP_E_EXCEPTION = static_cast<HResult>(0x80020009u);
constexpr HResult kDISP_E_MEMBERNOTFOUND = static_cast<HResult>(0x80020003u);
constexpr HResult kDISP_E_UNKNOWNNAME = static_cast<HResult>(0x80020006u);
constexpr HResult kDISP_E_BADPARAMCOUNT = static_cast<HResult>(0x8002000Eu);
constexpr HResult kDISP_E_TYPEMISMATCH = static_cast<HResult>(0x80020005u);

constexpr uint16_t kDISPATCH_METHOD = 1;
constexpr uint16_t kDISPATCH_PROPERTYGET = 2;
constexpr uint16_t kDISPATCH_PROPERTYPUT = 4;
constexpr uint16_t kDISPATCH_PROPERTYPUTREF = 8;

}  // namespace fr
