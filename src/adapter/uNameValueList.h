#pragma once
// A list of name=value lines, as the payment-type and tax-group name settings give them
// ("0=Наличные;1=Кредит"): looked up by the decimal number as name.
#include <string>
#include <vector>

namespace fr {

class TNameValueList {
public:
    // Replaces the lines: the text is split at every ";" (and at line breaks).
    void SetConformityText(const std::u16string& text);
    // The value part of the first line whose name part equals name; empty when there is none.
    std::u16string Value(const std::u16string& name) const;
    std::u16string Value(int32_t key) const;
    const std::vector<std::u16string>& Lines() const { return FLines; }

private:
    std::vector<std::u16string> FLines;
};

}  // namespace fr
