#pragma once
// A stable fingerprint of what a host handed to a money operation, so a retry of the same
// operation can be told from a new one, across processes, driver objects and bitnesses.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "automation/Variant.h"

namespace fr {

// FNV-1a (64 bits) over the values in order, by value and not by type: a host that builds its
// tables again for a retry may well put a Double where it had a Currency. Every number (integers
// of any width and sign, reals, currency, decimals) goes in as one numeric tag and its value
// rounded to four decimal places, the currency's precision, half to even (-0 as 0); Empty and Null
// alike; Booleans, texts, dates and error codes each under a tag of their own, by value; arrays as
// their bounds and every element in storage order. Objects count by type only. A text "1" and the
// number 1 differ.
uint64_t InDataFingerprint(std::initializer_list<const Variant*> values);

// The fingerprint journals of format 1 hold: every value's exact type and bits. Only to know a
// retry of an operation recorded by an earlier version of the driver.
uint64_t InDataFingerprintByType(std::initializer_list<const Variant*> values);

// Both fingerprints of one input: the one new records carry, and the one that knows a retry of an
// operation recorded by type.
struct TInDataPrints {
    uint64_t ByValue = 0;
    uint64_t ByType = 0;
};
TInDataPrints InDataPrints(std::initializer_list<const Variant*> values);

// Sixteen lower-case hexadecimal digits.
std::string FingerprintText(uint64_t fingerprint);

}  // namespace fr
