#include "dispatch/uMethodTable.h"

#include "automation/Text.h"

namespace fr {

int32_t FindMethod(const TMethodArray& methods, std::u16string_view name) {
    for (size_t i = 0; i < methods.size(); ++i)
        if (sameTextAscii(methods[i].Name, name)) return static_cast<int32_t>(i);
    return -1;
}

TMethodStruct& FindOrAddMethod(TMethodArray& methods, std::u16string_view name) {
    // Compare the name as it will be stored, or a long name registered twice would get two entries.
    std::u16string_view stored = name.substr(0, kMaxMethodNameLength);
    int32_t i = FindMethod(methods, stored);
    if (i >= 0) return methods[static_cast<size_t>(i)];
    methods.push_back(TMethodStruct{std::u16string(stored), false, false, {}, {}});
    return methods.back();
}

}  // namespace fr
