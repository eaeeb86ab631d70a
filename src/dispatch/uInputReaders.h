#pragma once
// Readers handlers use on their input arrays. An element is present when the value is an array
// of the expected dimension count, the index lies within its bounds, and the element is neither
// Empty nor Null. Conversions follow the variant conversion table and raise EVariantError when a
// present element does not convert.
#include <cstdint>
#include <string>

#include "automation/Variant.h"

namespace fr {

bool ItemExists(const Variant& A, int32_t I);
bool ItemExists2(const Variant& A, int32_t I, int32_t J);

std::u16string ItemAsString(const Variant& A, int32_t I, const std::u16string& Default);
int32_t ItemAsInteger(const Variant& A, int32_t I, int32_t Default);
int32_t ItemAsInteger2(const Variant& A, int32_t I, int32_t J, int32_t Default);
// An OLE date; the current local date and time when the element is absent.
double ItemAsDate(const Variant& A, int32_t I);
bool ItemAsBoolean(const Variant& A, int32_t I, bool Default);

// V converted to Type, or Default converted to Type when V is Empty, Null or not of a fitting kind:
// integer types need an ordinal V (integer or Boolean), R4/R8/CY/Decimal a numeric one, Date a
// date, Bool a Boolean, BStr a string. Any other Type takes any V that is not an array.
Variant ValueOrDefault(const Variant& V, VarType Type, const Variant& Default);

}  // namespace fr
