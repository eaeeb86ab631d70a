#pragma once
// A field's format string: entries "key=value" separated by ";".
#include <string>
#include <vector>

namespace fr::templates {

class TFormatEntries {
public:
    // Keys and values are taken verbatim (a blank after ";" belongs to the next key); an entry
    // without "=" has no key.
    explicit TFormatEntries(std::u16string_view format);

    // The value of the first entry with this key (letter case ignored, Latin and Cyrillic), or null.
    const std::u16string* Find(std::u16string_view key) const;
    bool Has(std::u16string_view key) const { return Find(key) != nullptr; }
    // The value as a decimal integer; false when absent or not one.
    bool FindInt(std::u16string_view key, int& out) const;

private:
    struct TEntry {
        std::u16string Key, Value;
    };
    std::vector<TEntry> FEntries;
};

// Equal ignoring the letter case of the Latin and the Russian alphabet.
bool SameKey(std::u16string_view a, std::u16string_view b);

}  // namespace fr::templates
