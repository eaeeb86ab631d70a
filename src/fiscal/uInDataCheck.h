#pragma once
// Reading a fiscal method's InData: the kind check of its leading elements and required elements.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "automation/Variant.h"

namespace fr {

// What an InData element must hold.
enum class TInDataKind : int {
    ikAny = 0,
    ikOrdinal = 1,  // any integer type or a Boolean
    ikNumeric = 2,  // an integer, real, currency or decimal
    ikString = 3,
    ikArray = 4,
    ikDate = 5,     // exactly a date, not a number or a text
};

// Copies elements 0 .. kinds.size() - 1 of a one-dimensional InData into Items and tests each
// against its kind. 0, or 1004 when InData is no such array, is too short, or an element misfits.
int32_t CheckInData(const Variant& InData, std::initializer_list<TInDataKind> kinds, std::vector<Variant>& Items);

// Element I of a one-dimensional array, which must be there (Empty and Null count as there: the
// conversion decides). Raises EError when it is missing.
const Variant& RequiredItem(const Variant& A, int32_t I);

}  // namespace fr
