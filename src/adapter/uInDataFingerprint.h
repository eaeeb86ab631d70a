#pragma once
// A stable fingerprint of what a host handed to a money operation, so a retry of the same
// operation can be told from a new one, across processes and driver objects.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "automation/Variant.h"

namespace fr {

// FNV-1a (64 bits) over the values in order: for each value its VARTYPE, then for an array its
// bounds and every element in storage order, for a scalar its value (text as UTF-16 code units,
// numbers as their exact bits). Objects count by type only. Equal input gives an equal
// fingerprint on every build and bitness.
uint64_t InDataFingerprint(std::initializer_list<const Variant*> values);

// Sixteen lower-case hexadecimal digits.
std::string FingerprintText(uint64_t fingerprint);

}  // namespace fr
