#pragma once
// Line layout of the paper tape. Its width, in characters, is the register's own setting.
#include <string>
#include <vector>

namespace fr::emu {

using TEmuLines = std::vector<std::u16string>;

// Text centred in the tape width (cut at the right when longer).
std::u16string centerLine(size_t width, const std::u16string& text);
// Left at the left edge, right at the right edge; the left part gives way when both do not fit.
std::u16string pairLine(size_t width, const std::u16string& left, const std::u16string& right);
std::u16string ruleLine(size_t width, char16_t c);
// Long text broken into lines of the tape width; control characters become blanks. An empty text
// is one empty line, as a printer feeds a line for it.
void addWrapped(TEmuLines& lines, size_t width, const std::u16string& text);

// "01.03.2024 09:15" and "01.03.2024".
std::u16string tapeDateTime(double serial);
std::u16string tapeDate(double serial);
// "2024-03-01 09:15:30": how the state file keeps dates; false when the text is not one.
std::u16string isoDateTime(double serial);
bool parseIsoDateTime(const std::u16string& text, double& serial);
// Decimal text of a number.
std::u16string num(long long value);

}  // namespace fr::emu
