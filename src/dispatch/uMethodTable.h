#pragma once
// The method table behind IDispatch: named entries whose index is the DISPID, each bound to a
// handler of one of two kinds.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/Variant.h"

namespace fr {

// Takes the call's arguments in host order (element i = host argument i); whatever it leaves in
// an element goes back to a by-reference argument. Its result is the call's value.
using TPrivateMethod = std::function<Variant(std::vector<Variant>& Params)>;

// Public methods: Name(InData, OutData, TimeOut). Returns the result code (0 = success) and may
// give its own description of a failure.
using TPublicMethod =
    std::function<int32_t(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription)>;

// Handles names that are not in the method table.
using TExtMethod = std::function<int32_t(const std::u16string& AMethodName, Variant& InData, Variant& OutData,
                                         int32_t TimeOut, std::u16string& ResultDescription)>;

// Hosts and the table keep names this long at most.
constexpr size_t kMaxMethodNameLength = 255;

struct TMethodStruct {
    std::u16string Name;
    bool IsPublic = false;
    bool IsSpecific = false;  // registered from a device class's own table; dispatch ignores it
    TPrivateMethod PrivateMethod;
    TPublicMethod PublicMethod;
};

// Keeps insertion order: a method's DISPID is its index.
using TMethodArray = std::vector<TMethodStruct>;

// Index of the first entry whose name matches under the ASCII-only rule, or -1.
int32_t FindMethod(const TMethodArray& methods, std::u16string_view name);

// The entry for Name (cut to 255 characters), appended when there is none, so registering a name
// again keeps its DISPID.
TMethodStruct& FindOrAddMethod(TMethodArray& methods, std::u16string_view name);

}  // namespace fr
