#pragma once
// EnumeratePorts: the serial and/or parallel ports present on the computer, each as its display
// name and port number, from the remote-session rule, the registry device map and the device
// setup pass.
#include <string>
#include <vector>

#include "ui/uPortSources.h"

namespace fr::ui {

struct TPortName {
    std::u16string Name;
    int Number = 0;
    bool operator==(const TPortName&) const = default;
};
using TPortNames = std::vector<TPortName>;

enum TPortKind : int { pkSerial = 0, pkParallel = 1, pkBoth = 2 };

// ShortNames: a device's friendly name is cut before "(COM". SortByNumber: ordered by number,
// otherwise by name ignoring letter case.
TPortNames EnumeratePorts(TPortSources& sources, int Kind, bool ShortNames, bool SortByNumber);

// The order and equality names are compared by: letter case ignored for Latin and Cyrillic
// letters, Ё after Е, everything else by character code.
int ComparePortText(std::u16string_view a, std::u16string_view b);

}  // namespace fr::ui
