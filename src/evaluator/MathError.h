#pragma once
// The evaluator's error record and its codes. Expression errors are never thrown: every stage
// writes the first problem it finds here, and later stages do nothing while a code is set.
#include <cstdint>
#include <string>

namespace fr::evaluator {

// Error codes (32-bit; a loaded saved form may carry any value).
inline constexpr int32_t ecNone = 0;
inline constexpr int32_t ecCannotParse = 1;
inline constexpr int32_t ecInvalidChar = 2;
inline constexpr int32_t ecUnknownName = 3;
inline constexpr int32_t ecInvalidFloat = 4;
inline constexpr int32_t ecOperatorPlacement = 5;
inline constexpr int32_t ecNotEnoughArguments = 7;
inline constexpr int32_t ecMissingArgument = 8;
inline constexpr int32_t ecMissingLeftBracket = 9;
inline constexpr int32_t ecMissingRightBracket = 10;
inline constexpr int32_t ecLeftBracketPlacement = 11;
inline constexpr int32_t ecRightBracketPlacement = 12;
inline constexpr int32_t ecSeparatorPlacement = 13;
inline constexpr int32_t ecOperatorAtEnd = 14;
inline constexpr int32_t ecTooManyArguments = 15;
inline constexpr int32_t ecInvalidOperation = 100;
inline constexpr int32_t ecDivisionByZero = 101;
inline constexpr int32_t ecInvalidPower = 102;
inline constexpr int32_t ecInvalidParameter = 103;
inline constexpr int32_t ecInvalidTangent = 104;

struct TError {
    int32_t FCode = ecNone;
    int32_t FPosition = -1;  // 1-based character position in the expression; -1 when none

    void Reset() { FCode = ecNone, FPosition = -1; }
    void Set(int32_t code, int32_t position) { FCode = code, FPosition = position; }
    bool IsSet() const { return FCode != ecNone; }
};

// English text of a code; empty for 0, 15 and unknown codes.
std::u16string ErrorCodeText(int32_t code);

}  // namespace fr::evaluator
