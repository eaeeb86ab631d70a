#include "fiscal/uInDataCheck.h"

#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"

namespace fr {

namespace {
bool fits(const Variant& v, TInDataKind kind) {
    switch (kind) {
        case TInDataKind::ikAny: return true;
        case TInDataKind::ikOrdinal: return !v.isArray() && v.isOrdinal();
        case TInDataKind::ikNumeric: return !v.isArray() && v.isNumeric();
        case TInDataKind::ikString: return v.isText();
        case TInDataKind::ikArray: return v.isArray();
        case TInDataKind::ikDate: return !v.isArray() && v.type() == VarType::Date;
    }
    return false;
}

const Variant* element(const Variant& a, int32_t i) {
    if (!a.isArray()) return nullptr;
    const VariantArray& arr = a.array();
    if (arr.dimCount() != 1 || !arr.contains({i})) return nullptr;
    return &arr.at({i});
}
}  // namespace

int32_t CheckInData(const Variant& InData, std::initializer_list<TInDataKind> kinds, std::vector<Variant>& Items) {
    Items.clear();
    int32_t i = 0;
    for (TInDataKind kind : kinds) {
        const Variant* v = element(InData, i++);
        if (!v || !fits(*v, kind)) return rcInvalidParameters;
        Items.push_back(*v);
    }
    return rcOK;
}

const Variant& RequiredItem(const Variant& A, int32_t I) {
    const Variant* v = element(A, I);
    if (!v) throw EError(u"Во входных данных нет элемента " + utf8ToUtf16(std::to_string(I)));
    return *v;
}

}  // namespace fr
