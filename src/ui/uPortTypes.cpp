#include "ui/uPortTypes.h"

namespace fr::ui {

std::u16string PortPrefix(TPortType type) {
    switch (type) {
        case TPortType::ptCOM: return u"COM";
        case TPortType::ptLPT: return u"LPT";
        case TPortType::ptUSB: return u"USB";
    }
    return u"COM";
}

}  // namespace fr::ui
