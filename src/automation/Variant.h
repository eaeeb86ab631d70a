#pragma once
// Variant: the portable stand-in for the automation VARIANT. The type code is the VARTYPE number,
// kept exactly (the debug log renders a 16-bit integer but not a 64-bit one). Arrays are
// SAFEARRAY-like: any number of dimensions, each with a lower bound and a count, first index
// fastest, copied deeply.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace fr {

struct TFormatSettings;
class AutomationObject;
class VariantArray;

enum class VarType : uint16_t {
    Empty = 0, Null = 1, I2 = 2, I4 = 3, R4 = 4, R8 = 5, CY = 6, Date = 7, BStr = 8, Dispatch = 9,
    Error = 10, Bool = 11, Variant = 12, Unknown = 13, Decimal = 14, I1 = 16, UI1 = 17, UI2 = 18,
    UI4 = 19, I8 = 20, UI8 = 21, Int = 22, UInt = 23,
};
constexpr uint16_t vtArrayFlag = 0x2000;
// The type's name as errors show it ("OleStr", "Integer", "Array Variant").
std::u16string varTypeName(uint16_t vartype);

// The 96-bit scaled integer of VT_DECIMAL, as the platform stores it.
struct Decimal {
    uint8_t scale = 0;      // power of ten dividing the integer, 0..28
    bool negative = false;
    uint32_t hi32 = 0;
    uint64_t lo64 = 0;
    double toDouble() const;
    bool operator==(const Decimal&) const = default;
};

class Variant {
public:
    Variant() = default;  // Empty
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    Variant(bool v);
    Variant(int32_t v);
    Variant(double v);
    Variant(std::u16string v);
    Variant(const char16_t* v);
    Variant(VariantArray a);
    Variant(std::shared_ptr<AutomationObject> object);  // IDispatch; null pointer is an IDispatch of nil
    Variant(const char*) = delete;                      // say u"..." so text is UTF-16

    static Variant null();
    // Signed and unsigned integer types: I1, I2, I4, I8, Int, UI1, UI2, UI4, UInt (value must fit).
    static Variant ofInt(VarType type, int64_t value);
    static Variant ofUInt64(uint64_t value);
    static Variant ofReal4(float value);
    static Variant currency(int64_t scaledBy10000);
    static Variant date(double oleSerial);
    static Variant error(int32_t scode);
    static Variant decimal(const Decimal& value);
    static Variant unknown(std::shared_ptr<AutomationObject> object);

    VarType type() const { return FType; }                    // element type for arrays
    uint16_t vartype() const { return static_cast<uint16_t>(FType) | (FArray ? vtArrayFlag : 0); }
    bool isArray() const { return FArray != nullptr; }
    bool isEmpty() const { return !FArray && FType == VarType::Empty; }
    bool isNull() const { return !FArray && FType == VarType::Null; }
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }
    bool isSignedInteger() const;   // I1 I2 I4 I8 Int
    bool isUnsignedInteger() const; // UI1 UI2 UI4 UI8 UInt
    bool isInteger() const { return isSignedInteger() || isUnsignedInteger(); }
    bool isOrdinal() const;         // an integer of any width, or a Boolean
    bool isNumeric() const;         // integer, real, currency, decimal
    bool isText() const { return !FArray && FType == VarType::BStr; }
    bool isObject() const { return !FArray && (FType == VarType::Dispatch || FType == VarType::Unknown); }

    // Raw access, no conversion: the caller has checked the type.
    int64_t rawInt() const { return FInt; }        // signed integers, currency (scaled), error code
    uint64_t rawUInt() const { return static_cast<uint64_t>(FInt); }
    double rawReal() const { return FReal; }       // R4, R8, Date
    bool rawBool() const { return FInt != 0; }
    const std::u16string& rawText() const { return FText; }
    const Decimal& rawDecimal() const { return FDecimal; }
    const std::shared_ptr<AutomationObject>& object() const { return FObject; }
    const VariantArray& array() const;             // raises when not an array
    VariantArray& array();

    // The conversion table: one set of rules for every conversion the driver makes.
    int32_t toInt(const TFormatSettings& fs) const;
    int32_t toInt() const;
    int64_t toInt64() const;
    double toDouble(const TFormatSettings& fs) const;
    double toDouble() const;
    int64_t toCurrency(const TFormatSettings& fs) const;  // scaled by 10 000
    int64_t toCurrency() const;
    bool toBool(const TFormatSettings& fs) const;
    bool toBool() const;
    std::u16string toText(const TFormatSettings& fs) const;
    std::u16string toText() const;
    double toDate(const TFormatSettings& fs) const;
    double toDate() const;
    // Conversion to a scalar type code (used when a typed by-reference slot takes a value).
    Variant convertTo(VarType type, const TFormatSettings& fs) const;
    Variant convertTo(VarType type) const;

    // Same type and value, arrays compared element by element (for tests and change checks).
    bool operator==(const Variant& other) const;

private:
    VarType FType = VarType::Empty;
    int64_t FInt = 0;
    double FReal = 0;
    std::u16string FText;
    Decimal FDecimal;
    std::shared_ptr<AutomationObject> FObject;
    std::unique_ptr<VariantArray> FArray;
};

struct ArrayBound {
    int32_t lowerBound = 0;
    uint32_t count = 0;
    bool operator==(const ArrayBound&) const = default;
};

class VariantArray {
public:
    VariantArray() = default;  // no dimensions: holds no array data
    explicit VariantArray(std::vector<ArrayBound> bounds, VarType elementType = VarType::Variant);
    // One-dimensional, lower bound 0.
    static VariantArray vector(std::initializer_list<Variant> items);
    static VariantArray vector(std::vector<Variant> items);
    // Two-dimensional [0..rows-1, 0..cols-1] (first index = row of the 1C tables: the column).
    static VariantArray matrix(uint32_t count1, uint32_t count2);

    int dimCount() const { return static_cast<int>(FBounds.size()); }
    bool hasData() const { return !FBounds.empty(); }
    const std::vector<ArrayBound>& bounds() const { return FBounds; }
    // Dimensions counted from 1, as the platform does; raise for a dimension that is not there.
    int32_t lowBound(int dim) const;
    int32_t highBound(int dim) const;
    VarType elementType() const { return FElementType; }
    size_t size() const { return FItems.size(); }

    // Elements by index per dimension; raise when an index is outside its bounds.
    const Variant& at(std::initializer_list<int32_t> index) const;
    Variant& at(std::initializer_list<int32_t> index);
    const Variant& at(int32_t i) const { return at({i}); }
    Variant& at(int32_t i) { return at({i}); }
    bool contains(std::initializer_list<int32_t> index) const;

    // Storage order: first index fastest.
    const std::vector<Variant>& items() const { return FItems; }
    std::vector<Variant>& items() { return FItems; }

    bool operator==(const VariantArray& other) const;

private:
    size_t offset(std::initializer_list<int32_t> index) const;
    std::vector<ArrayBound> FBounds;
    VarType FElementType = VarType::Variant;
    std::vector<Variant> FItems;
};

}  // namespace fr
