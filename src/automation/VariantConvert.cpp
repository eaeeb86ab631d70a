// The conversion table: every variant conversion the driver makes goes through here.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/NumberText.h"
#include "automation/Text.h"
#include "automation/Variant.h"

namespace fr {

std::u16string varTypeName(uint16_t vt) {
    if (vt & vtArrayFlag) return u"Array " + varTypeName(vt & ~vtArrayFlag);
    switch (static_cast<VarType>(vt)) {
        case VarType::Empty: return u"Empty";
        case VarType::Null: return u"Null";
        case VarType::I2: return u"Smallint";
        case VarType::I4: return u"Integer";
        case VarType::R4: return u"Single";
        case VarType::R8: return u"Double";
        case VarType::CY: return u"Currency";
        case VarType::Date: return u"Date";
        case VarType::BStr: return u"OleStr";
        case VarType::Dispatch: return u"Dispatch";
        case VarType::Error: return u"Error";
        case VarType::Bool: return u"Boolean";
        case VarType::Variant: return u"Variant";
        case VarType::Unknown: return u"Unknown";
        case VarType::Decimal: return u"Decimal";
        case VarType::I1: return u"ShortInt";
        case VarType::UI1: return u"Byte";
        case VarType::UI2: return u"Word";
        case VarType::UI4: return u"LongWord";
        case VarType::I8: return u"Int64";
        case VarType::UI8: return u"UInt64";
        case VarType::Int: return u"Integer";
        case VarType::UInt: return u"LongWord";
    }
    return u"Unknown";
}

namespace {

[[noreturn]] void castError(const Variant& v, VarType to) {
    throw EVariantError(u"Невозможно преобразовать вариант типа (" + varTypeName(v.vartype()) + u") в тип (" +
                        varTypeName(static_cast<uint16_t>(to)) + u")");
}

[[noreturn]] void overflowError(const Variant& v, VarType to) {
    throw EVariantError(u"Переполнение при преобразовании варианта типа (" + varTypeName(v.vartype()) +
                        u") в тип (" + varTypeName(static_cast<uint16_t>(to)) + u")");
}

// Kinds of source value, as the columns of the table.
enum class Kind { Empty, Null, Boolean, Integer, Real, Currency, Text, Other };

Kind kindOf(const Variant& v) {
    if (v.isArray()) return Kind::Other;
    switch (v.type()) {
        case VarType::Empty: return Kind::Empty;
        case VarType::Null: return Kind::Null;
        case VarType::Bool: return Kind::Boolean;
        case VarType::R4: case VarType::R8: case VarType::Date: case VarType::Decimal: return Kind::Real;
        case VarType::CY: return Kind::Currency;
        case VarType::BStr: return Kind::Text;
        default: return v.isInteger() ? Kind::Integer : Kind::Other;
    }
}

double realOf(const Variant& v) { return v.type() == VarType::Decimal ? v.rawDecimal().toDouble() : v.rawReal(); }

// Integer value of an integer variant as a wide signed number (UI8 above INT64_MAX stays unsigned).
bool integerOf(const Variant& v, int64_t& out) {
    if (v.type() == VarType::UI8 && v.rawUInt() > static_cast<uint64_t>(INT64_MAX)) return false;
    out = v.rawInt();
    return true;
}

bool roundToInt64(double d, int64_t& out) {
    if (!std::isfinite(d)) return false;
    double r = std::nearbyint(d);  // the default rounding mode: half to even
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return false;
    out = static_cast<int64_t>(r);
    return true;
}

}  // namespace

int64_t Variant::toInt64() const {
    const auto& fs = processFormatSettings();
    int64_t r = 0;
    switch (kindOf(*this)) {
        case Kind::Empty: return 0;
        case Kind::Boolean: return rawBool() ? -1 : 0;
        case Kind::Integer:
            if (!integerOf(*this, r)) overflowError(*this, VarType::I8);
            return r;
        case Kind::Real:
            if (!roundToInt64(realOf(*this), r)) overflowError(*this, VarType::I8);
            return r;
        case Kind::Currency: {
            // Divide by 10 000 with ties to even.
            int64_t q = rawInt() / 10000, rem = rawInt() % 10000;
            if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
            else if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
            return q;
        }
        case Kind::Text: {
            if (tryTextToInt64(rawText(), r)) return r;
            double d;
            if (tryTextToDouble(rawText(), fs, d)) {
                if (!roundToInt64(d, r)) overflowError(*this, VarType::I8);
                return r;
            }
            castError(*this, VarType::I8);
        }
        default: castError(*this, VarType::I8);
    }
}

int32_t Variant::toInt(const TFormatSettings& fs) const {
    int64_t r = 0;
    switch (kindOf(*this)) {
        case Kind::Text:
            if (!tryTextToInt64(rawText(), r)) {
                double d;
                if (!tryTextToDouble(rawText(), fs, d)) castError(*this, VarType::I4);
                if (!roundToInt64(d, r)) overflowError(*this, VarType::I4);
            }
            break;
        case Kind::Null: case Kind::Other: castError(*this, VarType::I4);
        default:
            try {
                r = toInt64();
            } catch (const EVariantError&) {
                overflowError(*this, VarType::I4);
            }
    }
    if (r < INT32_MIN || r > INT32_MAX) overflowError(*this, VarType::I4);
    return static_cast<int32_t>(r);
}
int32_t Variant::toIntInProcessFormat() const { return toInt(processFormatSettings()); }

double Variant::toDouble(const TFormatSettings& fs) const {
    switch (kindOf(*this)) {
        case Kind::Empty: return 0;
        case Kind::Boolean: return rawBool() ? -1 : 0;
        case Kind::Integer:
            return type() == VarType::UI8 ? static_cast<double>(rawUInt()) : static_cast<double>(rawInt());
        case Kind::Real: return realOf(*this);
        case Kind::Currency: return static_cast<double>(rawInt()) / 10000.0;
        case Kind::Text: {
            double d;
            if (tryTextToDouble(rawText(), fs, d)) return d;
            castError(*this, VarType::R8);
        }
        default: castError(*this, VarType::R8);
    }
}
double Variant::toDouble() const { return toDouble(processFormatSettings()); }

int64_t Variant::toCurrency(const TFormatSettings& fs) const {
    constexpr double kMax = 922337203685477.5807;
    switch (kindOf(*this)) {
        case Kind::Empty: return 0;
        case Kind::Boolean: return rawBool() ? -10000 : 0;
        case Kind::Integer: {
            int64_t v;
            if (!integerOf(*this, v) || v > INT64_MAX / 10000 || v < INT64_MIN / 10000) overflowError(*this, VarType::CY);
            return v * 10000;
        }
        case Kind::Real: {
            double d = realOf(*this);
            int64_t r;
            if (!std::isfinite(d) || std::fabs(d) > kMax || !roundToInt64(d * 10000.0, r)) overflowError(*this, VarType::CY);
            return r;
        }
        case Kind::Currency: return rawInt();
        case Kind::Text: {
            int64_t r;
            switch (tryTextToCurrency(rawText(), fs, r)) {
                case NumberParse::Ok: return r;
                case NumberParse::Overflow: overflowError(*this, VarType::CY);
                default: castError(*this, VarType::CY);
            }
        }
        default: castError(*this, VarType::CY);
    }
}
int64_t Variant::toCurrency() const { return toCurrency(processFormatSettings()); }

bool Variant::toBool(const TFormatSettings& fs) const {
    switch (kindOf(*this)) {
        case Kind::Empty: return false;
        case Kind::Boolean: return rawBool();
        case Kind::Integer: return rawInt() != 0;
        case Kind::Real: return realOf(*this) != 0;
        case Kind::Currency: return rawInt() != 0;
        case Kind::Text: {
            std::u16string t = trim(rawText());
            if (sameTextAscii(t, u"True")) return true;
            if (sameTextAscii(t, u"False")) return false;
            double d;
            if (tryTextToDouble(rawText(), fs, d)) return d != 0;
            castError(*this, VarType::Bool);
        }
        default: castError(*this, VarType::Bool);
    }
}
bool Variant::toBool() const { return toBool(processFormatSettings()); }

std::u16string Variant::toText(const TFormatSettings& fs) const {
    switch (kindOf(*this)) {
        case Kind::Empty: return {};
        case Kind::Boolean: return rawBool() ? u"True" : u"False";
        case Kind::Integer:
            return type() == VarType::UI8 ? utf8ToUtf16(std::to_string(rawUInt())) : utf8ToUtf16(std::to_string(rawInt()));
        case Kind::Real:
            if (type() == VarType::Date) return dateTimeToText(rawReal(), fs);
            if (type() == VarType::R4) return floatToText(rawReal(), fs, 7);
            return floatToText(realOf(*this), fs);
        case Kind::Currency: return currencyToText(rawInt(), fs);
        case Kind::Text: return std::u16string(rawText());
        default: castError(*this, VarType::BStr);
    }
}
std::u16string Variant::toText() const { return toText(processFormatSettings()); }

double Variant::toDate(const TFormatSettings& fs) const {
    switch (kindOf(*this)) {
        case Kind::Text: {
            double d;
            if (tryTextToDateTime(rawText(), fs, d)) return d;
            castError(*this, VarType::Date);
        }
        case Kind::Null: case Kind::Other: castError(*this, VarType::Date);
        default: {
            double d = toDouble(fs);
            if (!std::isfinite(d) || std::fabs(d) > 2958466.0) overflowError(*this, VarType::Date);
            return d;
        }
    }
}
double Variant::toDate() const { return toDate(processFormatSettings()); }

Variant Variant::convertTo(VarType t, const TFormatSettings& fs) const {
    if (isArray()) castError(*this, t);
    switch (t) {
        case VarType::Empty: return Variant();
        case VarType::Null: return Variant::null();
        case VarType::Variant: return *this;
        case VarType::I1: case VarType::I2: case VarType::I4: case VarType::Int:
        case VarType::UI1: case VarType::UI2: case VarType::UI4: case VarType::UInt: case VarType::I8: {
            if (isNull()) castError(*this, t);
            int64_t v = kindOf(*this) == Kind::Text ? static_cast<int64_t>(toInt(fs)) : toInt64();
            try {
                return ofInt(t, v);
            } catch (const EVariantError&) {
                overflowError(*this, t);
            }
        }
        case VarType::UI8: {
            if (type() == VarType::UI8) return *this;
            int64_t v = kindOf(*this) == Kind::Text ? static_cast<int64_t>(toInt(fs)) : toInt64();
            if (v < 0) overflowError(*this, t);
            return ofUInt64(static_cast<uint64_t>(v));
        }
        case VarType::R4: {
            double d = toDouble(fs);
            if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) overflowError(*this, t);
            return ofReal4(static_cast<float>(d));
        }
        case VarType::R8: return Variant(toDouble(fs));
        case VarType::CY: return currency(toCurrency(fs));
        case VarType::Date: return date(toDate(fs));
        case VarType::BStr: return Variant(toText(fs));
        case VarType::Bool: return Variant(toBool(fs));
        case VarType::Dispatch:
            if (type() == VarType::Dispatch) return *this;
            if (isEmpty()) return Variant(std::shared_ptr<AutomationObject>());
            castError(*this, t);
        case VarType::Unknown:
            if (isObject()) return unknown(object());
            castError(*this, t);
        case VarType::Error:
            if (type() == VarType::Error) return *this;
            castError(*this, t);
        case VarType::Decimal:
            if (type() == VarType::Decimal) return *this;
            castError(*this, t);
    }
    castError(*this, t);
}
Variant Variant::convertTo(VarType t) const { return convertTo(t, processFormatSettings()); }

}  // namespace fr
