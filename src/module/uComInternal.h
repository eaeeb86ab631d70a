#pragma once
// Pieces shared by the files of fr_combridge; not part of its API.
#include <objbase.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <string_view>

#include "automation/AutomationObject.h"
#include "automation/Variant.h"
#include "module/uComPtr.h"

namespace fr::com {

BSTR allocBstr(std::u16string_view s);  // raises std::bad_alloc
std::u16string bstrToText(BSTR b);
// The characters of a BSTR, without a copy; valid while the BSTR lives.
std::u16string_view bstrView(BSTR b);
// The value at p, which has type vt (a scalar VARTYPE or VT_VARIANT).
Variant readScalar(VARTYPE vt, const void* p);
// Stores value (already of type vt) at p, which holds nothing that needs freeing.
void writeScalar(VARTYPE vt, void* p, const Variant& value);

// A COM face for an object of the core: the same IDispatch for a ComAutomationObject, a bridge
// for anything else; null for null.
ComPtr<IDispatch> dispatchOf(const std::shared_ptr<AutomationObject>& obj);
ComPtr<IUnknown> unknownOf(const std::shared_ptr<AutomationObject>& obj);

// Module object and lock counts behind DllCanUnloadNow.
void objectCreated();
void objectDestroyed();
void lockServer(bool lock);

// HRESULT as "0x80020009" for messages.
std::u16string hresultText(HRESULT hr);

}  // namespace fr::com
