#pragma once
// A field's format string: entries "key=value" separated by ";".
#include <string>
#include <vector>

namespace fr::templates {

class TFormatEntries {
public:
    // Keys and values are taken verbatim (a blank after ";" belongs to the next key); an entry
    // without "=" has no key.
    TFormatEntries() = default;
    // The looked-up keys point into the entries: copies look them up again.
    TFormatEntries(const TFormatEntries& other) : TFormatEntries() { *this = other; }
    TFormatEntries& operator=(const TFormatEntries& other);
    explicit TFormatEntries(std::u16string_view format);

    // True for an empty format string (no entries at all, as opposed to entries without keys).
    bool Empty() const { return FEmpty; }

    // The value of the first entry with this key (letter case ignored, Latin and Cyrillic), or null.
    const std::u16string* Find(std::u16string_view key) const;
    bool Has(std::u16string_view key) const { return Find(key) != nullptr; }
    // The value as a decimal integer; false when absent or not one.
    bool FindInt(std::u16string_view key, int& out) const;

    // The keys of number and date fields, looked up once: Latin first, then Cyrillic.
    const std::u16string* Expr() const { return FExpr; }   // EXPR, or null
    int ND() const { return FND; }                         // ND / ЧЦ as an integer, else -1
    int NFD() const { return FNFD; }                       // NFD / ЧДЦ as an integer, else -1
    const std::u16string* NDS() const { return FNDS; }     // NDS, or ЧРД when NDS is absent or empty
    bool NLZ() const { return FNLZ; }                      // NLZ or ЧВН present
    const std::u16string* DF() const { return FDF; }       // DF, or ДФ when DF is absent or empty

private:
    const std::u16string* FirstNonEmpty(std::u16string_view latin, std::u16string_view cyrillic) const;
    int IntOf(std::u16string_view latin, std::u16string_view cyrillic) const;
    const std::u16string* FExpr = nullptr;
    const std::u16string* FNDS = nullptr;
    const std::u16string* FDF = nullptr;
    int FND = -1, FNFD = -1;
    bool FNLZ = false;

    struct TEntry {
        std::u16string Key, Value;
    };
    std::vector<TEntry> FEntries;
    bool FEmpty = true;
};

// Equal ignoring the letter case of the Latin and the Russian alphabet.
bool SameKey(std::u16string_view a, std::u16string_view b);

}  // namespace fr::templates
