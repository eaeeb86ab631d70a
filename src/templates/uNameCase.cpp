#include "templates/uNameCase.h"

namespace fr::templates {

char16_t FoldNameCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);  // А..Я
    if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);  // Ѐ..Џ, Ё among them
    return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldNameCase(a[i]) != FoldNameCase(b[i])) return false;
    return true;
}

}  // namespace fr::templates
