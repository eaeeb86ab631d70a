#pragma once
// Names a host writes (template sections, parameters, device IDs) compared ignoring letter case,
// Cyrillic as well as Latin: hosts write Russian names in whatever case their code has.
#include <string_view>

namespace fr::templates {

// The lower-case form of a Latin or Cyrillic capital; any other character unchanged.
char16_t FoldNameCase(char16_t c);
// Equal length and equal characters after folding.
bool SameName(std::u16string_view a, std::u16string_view b);

}  // namespace fr::templates
