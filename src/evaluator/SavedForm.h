#pragma once
// The evaluator's saved binary form: the expression, the error code and the token list, so a
// reloaded evaluator computes without parsing again. Integers are little-endian.
//   int32 N, N bytes expression (UTF-8), int32 error code, int32 M, M token records:
//   float64 value, uint8 kind (0..6), int32 K, K bytes name (UTF-8), int32 argument count.
#include <cstdint>
#include <string>
#include <string_view>

#include "evaluator/ParserItem.h"

namespace fr::evaluator {

struct TSavedForm {
    std::u16string Expression;
    int32_t ErrorCode = 0;
    TParserStack::Items Tokens;  // positions are not saved: they load as 0
};

// Plain bytes rather than streams: iostreams would bring the library's whole locale machinery
// into the driver module for this alone.
std::string WriteSavedForm(const std::u16string& expression, int32_t errorCode, const TParserStack::Items& tokens);
// False for anything that is not a whole saved form (short
// data, negative or oversized lengths, an unknown kind, malformed UTF-8, a value that is not
// finite); `out` is then unspecified.
bool ReadSavedForm(std::string_view data, TSavedForm& out);

}  // namespace fr::evaluator
