#pragma once
// Variant: the portable stand-in for the automation VARIANT. The type code is the VARTYPE number,
// kept exactly (the debug log renders a 16-bit integer but not a 64-bit one). Arrays are
// SAFEARRAY-like: any number of dimensions, each with a lower bound and a count, first index
// fastest, copied deeply.
//
// One tagged union of 40 bytes: every call of the driver makes and drops a handful of Variants, so
// Empty, numbers, dates and text of up to 15 characters (most of what hosts pass) live inline and
// are copied and moved without touching the heap. Longer text is an immutable shared buffer, so a
// copy costs a reference count, not an allocation.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
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

namespace detail {
constexpr uint32_t typeBit(VarType t) {
    return static_cast<unsigned>(t) < 32 ? uint32_t(1) << static_cast<unsigned>(t) : 0;
}
constexpr uint32_t kSignedTypes = typeBit(VarType::I1) | typeBit(VarType::I2) | typeBit(VarType::I4) |
                                  typeBit(VarType::I8) | typeBit(VarType::Int);
constexpr uint32_t kUnsignedTypes = typeBit(VarType::UI1) | typeBit(VarType::UI2) | typeBit(VarType::UI4) |
                                    typeBit(VarType::UI8) | typeBit(VarType::UInt);
}  // namespace detail

class Variant {
public:
    // Text up to this many UTF-16 units is held inside the Variant.
    static constexpr size_t kInlineTextLength = 15;

    Variant() noexcept {}  // Empty
    Variant(const Variant& other) : FType(other.FType), FStorage(other.FStorage) {
        if (other.holdsResource()) copyResource(other);
        else copyPlain(other);
    }
    Variant(Variant&& other) noexcept : FType(other.FType), FStorage(other.FStorage) {
        if (other.holdsResource()) takeResource(other);
        else copyPlain(other);
        other.clearMovedFrom();
    }
    // Values that hold nothing on the heap are copied in place; the rest take the long way.
    Variant& operator=(const Variant& other) {
        if (holdsResource() || other.holdsResource()) return assignResource(other);
        FType = other.FType;
        FStorage = other.FStorage;
        copyPlain(other);
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept {
        if (holdsResource() || other.holdsResource()) return moveAssignResource(other);
        if (this != &other) {
            FType = other.FType;
            FStorage = other.FStorage;
            copyPlain(other);
            other.clearMovedFrom();
        }
        return *this;
    }
    ~Variant() {
        if (holdsResource()) releaseResource();
    }

    Variant(bool v) noexcept : FType(VarType::Bool) { FData.plain.number.integer = v ? -1 : 0; }
    Variant(int32_t v) noexcept : FType(VarType::I4) { FData.plain.number.integer = v; }
    Variant(double v) noexcept : FType(VarType::R8) { FData.plain.number.real = v; }
    Variant(const std::u16string& v) : Variant(std::u16string_view(v)) {}
    Variant(const char16_t* v) : Variant(v ? std::u16string_view(v) : std::u16string_view()) {}
    explicit Variant(std::u16string_view v);
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
    uint16_t vartype() const { return static_cast<uint16_t>(FType) | (isArray() ? vtArrayFlag : 0); }
    bool isArray() const { return FStorage == Storage::Array; }
    bool isEmpty() const { return !isArray() && FType == VarType::Empty; }
    bool isNull() const { return !isArray() && FType == VarType::Null; }
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }
    bool isSignedInteger() const { return isScalarOf(detail::kSignedTypes); }      // I1 I2 I4 I8 Int
    bool isUnsignedInteger() const { return isScalarOf(detail::kUnsignedTypes); }  // UI1 UI2 UI4 UI8 UInt
    bool isInteger() const { return isScalarOf(detail::kSignedTypes | detail::kUnsignedTypes); }
    bool isOrdinal() const {  // an integer of any width, or a Boolean
        return isScalarOf(detail::kSignedTypes | detail::kUnsignedTypes | detail::typeBit(VarType::Bool));
    }
    bool isNumeric() const {  // integer, real, currency, decimal
        using detail::typeBit;
        return isScalarOf(detail::kSignedTypes | detail::kUnsignedTypes | typeBit(VarType::R4) |
                          typeBit(VarType::R8) | typeBit(VarType::CY) | typeBit(VarType::Decimal));
    }
    bool isText() const { return !isArray() && FType == VarType::BStr; }
    bool isObject() const { return !isArray() && (FType == VarType::Dispatch || FType == VarType::Unknown); }

    // Raw access, no conversion: the caller has checked the type. A field the type does not use
    // reads as zero, empty or null.
    // signed integers, currency (scaled), error code
    int64_t rawInt() const { return FStorage == Storage::Number ? FData.plain.number.integer : 0; }
    uint64_t rawUInt() const { return static_cast<uint64_t>(rawInt()); }
    double rawReal() const { return FStorage == Storage::Number ? FData.plain.number.real : 0; }  // R4, R8, Date
    bool rawBool() const { return rawInt() != 0; }
    // Valid while the Variant lives and is not changed or moved.
    std::u16string_view rawText() const {
        if (FStorage == Storage::InlineText) return {FData.plain.inlineText.chars, FData.plain.inlineText.length};
        if (FStorage == Storage::SharedText) return {FData.sharedText.chars.get(), FData.sharedText.length};
        return {};
    }
    const Decimal& rawDecimal() const;
    const std::shared_ptr<AutomationObject>& object() const;
    const VariantArray& array() const;             // raises when not an array
    VariantArray& array();

    // The conversion table: one set of rules for every conversion the driver makes.
    int32_t toInt(const TFormatSettings& fs) const;
    int32_t toInt() const {
        // Most calls pass a 32-bit integer (TimeOut): no settings to fetch, no range to check.
        if (FType == VarType::I4 && FStorage == Storage::Number)
            return static_cast<int32_t>(FData.plain.number.integer);
        return toIntInProcessFormat();
    }
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
    // Which member of the union holds the value. Number: Empty, Null, integers, Boolean, real,
    // currency, date, error, and what an object or array leaves behind when moved from.
    enum class Storage : uint8_t { Number, Decimal, InlineText, SharedText, Object, Array };

    struct Number {
        int64_t integer = 0;
        double real = 0;
    };
    struct InlineText {
        char16_t chars[kInlineTextLength];
        uint8_t length;
    };
    struct SharedText {
        std::shared_ptr<const char16_t[]> chars;
        size_t length;
    };
    // The values that own nothing: copied as they are, in one piece.
    union Plain {
        Plain() noexcept : number() {}
        Number number;
        Decimal decimal;
        InlineText inlineText;
    };
    union Payload {
        Payload() noexcept : plain() {}
        ~Payload() {}
        Plain plain;
        SharedText sharedText;
        std::shared_ptr<AutomationObject> object;
        std::unique_ptr<VariantArray> array;
    };

    // types: a set of type codes as detail::typeBit masks.
    bool isScalarOf(uint32_t types) const { return !isArray() && (detail::typeBit(FType) & types) != 0; }

    bool holdsResource() const { return FStorage >= Storage::SharedText; }
    // Copies what other holds inline, FStorage already set to its storage. A number is copied field
    // by field, as it was written: one wider copy would have to wait until the narrower stores that
    // just made it reach the cache (nearly every Variant of a call is made, then moved).
    void copyPlain(const Variant& other) noexcept {
        if (FStorage == Storage::Number) {
            FData.plain.number.integer = other.FData.plain.number.integer;
            FData.plain.number.real = other.FData.plain.number.real;
        } else {
            FData.plain = other.FData.plain;
        }
    }
    // What a moved-from Variant holds: its type, with no text, object or array. Only the pointer
    // was moved out of shared text, an object or an array: a null one, nothing to release.
    void clearMovedFrom() noexcept {
        switch (FStorage) {
            case Storage::InlineText: FData.plain.inlineText.length = 0; break;
            case Storage::SharedText:
                FStorage = Storage::InlineText;
                FData.plain.inlineText = InlineText{};
                break;
            case Storage::Object: case Storage::Array:
                FStorage = Storage::Number;
                FData.plain.number = Number();
                break;
            default: break;
        }
    }
    int32_t toIntInProcessFormat() const;
    void copyResource(const Variant& other);
    Variant& assignResource(const Variant& other);
    Variant& moveAssignResource(Variant& other) noexcept;
    void takeResource(Variant& other) noexcept;
    void releaseResource() noexcept;

    VarType FType = VarType::Empty;
    Storage FStorage = Storage::Number;
    Payload FData;
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
