// Field classes, value conversions and the mapping from declared column types to fields.

#include <charconv>
#include <cmath>
#include <cstdint>

#include "vcl/db.h"

namespace vcl {

// ---- Declared column types ------------------------------------------------------------------

namespace {

enum class TMatch { Name, Contains };

struct TDeclaredTypeRule {
    std::string_view Pattern;
    TMatch Match;
    TFieldType DataType;
    int DefaultSize;
};

// First match wins. Whole names come first; then, in the spirit of SQLite's type affinity,
// names that contain a telling part (BIGINT, NVARCHAR, DOUBLE PRECISION, ...).
constexpr TDeclaredTypeRule kDeclaredTypeRules[] = {
    {"SMALLINT",  TMatch::Name,     ftSmallint, 0},
    {"WORD",      TMatch::Name,     ftWord,     0},
    {"BOOLEAN",   TMatch::Name,     ftBoolean,  0},
    {"BOOL",      TMatch::Name,     ftBoolean,  0},
    {"DATETIME",  TMatch::Name,     ftDateTime, 0},
    {"TIMESTAMP", TMatch::Name,     ftDateTime, 0},
    {"DATE",      TMatch::Name,     ftDate,     0},
    {"TIME",      TMatch::Name,     ftTime,     0},
    {"CURRENCY",  TMatch::Name,     ftCurrency, 0},
    {"MONEY",     TMatch::Name,     ftCurrency, 0},
    {"DECIMAL",   TMatch::Name,     ftBCD,      0},
    {"NUMERIC",   TMatch::Name,     ftBCD,      0},
    {"MEMO",      TMatch::Name,     ftMemo,     0},
    {"INT",       TMatch::Contains, ftInteger,  0},
    {"CHAR",      TMatch::Contains, ftString,   DefaultStringSize},
    {"CLOB",      TMatch::Contains, ftMemo,     0},
    {"TEXT",      TMatch::Contains, ftString,   DefaultStringSize},
    {"BLOB",      TMatch::Contains, ftBlob,     0},
    {"REAL",      TMatch::Contains, ftFloat,    0},
    {"FLOA",      TMatch::Contains, ftFloat,    0},
    {"DOUB",      TMatch::Contains, ftFloat,    0},
};

bool Matches(const TDeclaredTypeRule& rule, std::string_view name) {
    return rule.Match == TMatch::Name ? name == rule.Pattern : name.find(rule.Pattern) != std::string_view::npos;
}

// The numbers inside "(...)": "DECIMAL(10, 2)" gives 10 and 2; a missing or unreadable
// number gives 0.
void ReadTypeParameters(std::string_view params, int& first, int& second) {
    first = second = 0;
    int* target = &first;
    std::size_t start = 0;
    for (int k = 0; k < 2 && start <= params.size(); ++k) {
        std::size_t end = params.find(',', start);
        if (end == std::string_view::npos) end = params.size();
        const std::string part = Trim(params.substr(start, end - start));
        int value = 0;
        const auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (ec == std::errc() && ptr == part.data() + part.size() && value > 0) *target = value;
        target = &second;
        start = end + 1;
    }
}

}  // namespace

TFieldDef FieldDefForDeclaredType(std::string_view declaredType) {
    const std::string upper = UpperCase(declaredType);
    const std::size_t open = upper.find('(');
    const std::string name = Trim(std::string_view(upper).substr(0, open));
    int first = 0, second = 0;
    if (open != std::string::npos) {
        const std::size_t close = upper.find(')', open);
        ReadTypeParameters(std::string_view(upper).substr(open + 1, close == std::string::npos ? close : close - open - 1),
                           first, second);
    }
    TFieldDef def;
    if (name.empty()) return def;
    for (const TDeclaredTypeRule& rule : kDeclaredTypeRules) {
        if (!Matches(rule, name)) continue;
        def.DataType = rule.DataType;
        if (rule.DataType == ftString) {
            def.Size = first > 0 ? first : rule.DefaultSize;
        } else if (rule.DataType == ftBCD) {
            def.Precision = first;
            def.Size = second;
        }
        break;
    }
    return def;
}

TFieldDef FieldDefForValue(const TFieldValue& value) {
    TFieldDef def;
    if (std::holds_alternative<long long>(value)) {
        def.DataType = ftInteger;
    } else if (std::holds_alternative<double>(value)) {
        def.DataType = ftFloat;
    } else if (std::holds_alternative<TBlobData>(value)) {
        def.DataType = ftBlob;
    } else {
        def.DataType = ftString;
        def.Size = DefaultStringSize;
    }
    return def;
}

std::vector<TFieldTypeMapping> FieldTypeMappings() {
    std::vector<TFieldTypeMapping> rows;
    auto add = [&](std::string declared, TFieldType type) {
        rows.push_back({std::move(declared), CreateField(type)->ClassName(), type});
    };
    for (const TDeclaredTypeRule& rule : kDeclaredTypeRules) {
        std::string declared(rule.Pattern);
        if (rule.Match == TMatch::Contains) declared = "*" + declared + "*";
        if (rule.DataType == ftString) declared += "(n)";
        if (rule.DataType == ftBCD) declared += "(p,s)";
        add(declared, rule.DataType);
    }
    add("INTEGER PRIMARY KEY AUTOINCREMENT", ftAutoInc);
    add("none or other, first value whole", ftInteger);
    add("none or other, first value real", ftFloat);
    add("none or other, first value binary", ftBlob);
    add("none or other, first value text or null", ftString);
    return rows;
}

const char* FieldTypeName(TFieldType type) noexcept {
    static constexpr const char* kNames[] = {
        "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat", "ftCurrency",
        "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo",
        "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary"};
    const auto i = static_cast<std::size_t>(type);
    return i < std::size(kNames) ? kNames[i] : "ftUnknown";
}

std::unique_ptr<TField> CreateField(TFieldType type) {
    switch (type) {
        case ftString: return std::make_unique<TStringField>();
        case ftSmallint: return std::make_unique<TSmallintField>();
        case ftInteger: return std::make_unique<TIntegerField>();
        case ftWord: return std::make_unique<TWordField>();
        case ftBoolean: return std::make_unique<TBooleanField>();
        case ftFloat: return std::make_unique<TFloatField>();
        case ftCurrency: return std::make_unique<TCurrencyField>();
        case ftBCD: return std::make_unique<TBCDField>();
        case ftDate: return std::make_unique<TDateField>();
        case ftTime: return std::make_unique<TTimeField>();
        case ftDateTime: return std::make_unique<TDateTimeField>();
        case ftAutoInc: return std::make_unique<TAutoIncField>();
        case ftBlob: return std::make_unique<TBlobField>();
        case ftMemo: return std::make_unique<TMemoField>();
        default: break;
    }
    throw EDatabaseError(std::string("No field class for field type ") + FieldTypeName(type));
}

// ---- Text forms of values ---------------------------------------------------------------------

namespace {

std::string FloatText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Drops the blanks around a number and a leading '+', which from_chars does not take.
std::string_view NumberText(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    text = text.substr(b, e - b);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

bool ParseLargeInt(std::string_view text, long long& value) {
    text = NumberText(text);
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

bool ParseFloat(std::string_view text, double& value) {
    text = NumberText(text);
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

bool ParseBoolean(std::string_view text, bool& value) {
    const std::string word = UpperCase(Trim(text));
    if (word == "T" || word == "TRUE" || word == "1") {
        value = true;
    } else if (word == "F" || word == "FALSE" || word == "0") {
        value = false;
    } else {
        return false;
    }
    return true;
}

// Reads exactly count digits at pos.
bool ReadDigits(std::string_view s, std::size_t& pos, int count, int& value) {
    if (pos + static_cast<std::size_t>(count) > s.size()) return false;
    value = 0;
    for (int k = 0; k < count; ++k) {
        const char c = s[pos++];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ReadSeparator(std::string_view s, std::size_t& pos, char separator) {
    if (pos >= s.size() || s[pos] != separator) return false;
    ++pos;
    return true;
}

// "HH:MM[:SS[.f...]]" from pos to the end; digits after the milliseconds are ignored.
bool ReadTime(std::string_view s, std::size_t pos, TDateTime& time) {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (!ReadDigits(s, pos, 2, hour) || !ReadSeparator(s, pos, ':') || !ReadDigits(s, pos, 2, minute)) return false;
    if (pos < s.size()) {
        if (!ReadSeparator(s, pos, ':') || !ReadDigits(s, pos, 2, second)) return false;
        if (pos < s.size()) {
            if (!ReadSeparator(s, pos, '.') || pos == s.size()) return false;
            for (int scale = 100; pos < s.size(); ++pos, scale /= 10) {
                if (s[pos] < '0' || s[pos] > '9') return false;
                millisecond += (s[pos] - '0') * scale;
            }
        }
    }
    return TryEncodeTime(hour, minute, second, millisecond, time);
}

bool ParseDateTime(std::string_view text, TDateTime& value) {
    const std::string trimmed = Trim(text);
    const std::string_view s = trimmed;
    if (s.size() >= 3 && s[2] == ':') return ReadTime(s, 0, value);
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0;
    if (!ReadDigits(s, pos, 4, year) || !ReadSeparator(s, pos, '-') || !ReadDigits(s, pos, 2, month) ||
        !ReadSeparator(s, pos, '-') || !ReadDigits(s, pos, 2, day) || !TryEncodeDate(year, month, day, value))
        return false;
    if (pos == s.size()) return true;
    if (s[pos] != ' ' && s[pos] != 'T') return false;
    TDateTime time = 0;
    if (!ReadTime(s, pos + 1, time)) return false;
    value += time;
    return true;
}

// The value as a number; false for null, binary data and text that is no number.
bool NumberOf(const TFieldValue& v, double& number) {
    if (const auto* i = std::get_if<long long>(&v)) {
        number = static_cast<double>(*i);
        return true;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        number = *d;
        return true;
    }
    const auto* s = std::get_if<std::string>(&v);
    return s != nullptr && ParseFloat(*s, number);
}

// The value as a whole number when it is one (stored as such, or as text of one).
bool WholeNumberOf(const TFieldValue& v, long long& number) {
    if (const auto* i = std::get_if<long long>(&v)) {
        number = *i;
        return true;
    }
    const auto* s = std::get_if<std::string>(&v);
    return s != nullptr && ParseLargeInt(*s, number);
}

// The value as a flag: numbers are true when not 0; text by ParseBoolean.
bool FlagOf(const TFieldValue& v, bool& flag) {
    if (const auto* i = std::get_if<long long>(&v)) {
        flag = *i != 0;
        return true;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        flag = *d != 0;
        return true;
    }
    const auto* s = std::get_if<std::string>(&v);
    return s != nullptr && ParseBoolean(*s, flag);
}

// The value as a moment: numbers are days, text by ParseDateTime.
bool MomentOf(const TFieldValue& v, TDateTime& moment) {
    if (const auto* i = std::get_if<long long>(&v)) {
        moment = static_cast<double>(*i);
        return true;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        moment = *d;
        return true;
    }
    const auto* s = std::get_if<std::string>(&v);
    return s != nullptr && ParseDateTime(*s, moment);
}

// Days of 0001-01-01 and of 10000-01-01, the range that has a four-digit year.
constexpr double kFirstDay = -693593;
constexpr double kPastLastDay = 2958466;

using TPart = TDateTimeField::TPart;

// Appends value as count digits with leading zeros.
void AppendDigits(std::string& out, int value, int count) {
    char digits[4];
    for (int k = count - 1; k >= 0; --k, value /= 10) digits[k] = static_cast<char>('0' + value % 10);
    out.append(digits, static_cast<std::size_t>(count));
}

std::string MomentText(TDateTime value, TPart shown) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kPastLastDay) return FloatText(value);
    std::string text;
    text.reserve(23);
    if (shown != TPart::Time) {
        int y, m, d;
        DecodeDate(value, y, m, d);
        AppendDigits(text, y, 4);
        text += '-';
        AppendDigits(text, m, 2);
        text += '-';
        AppendDigits(text, d, 2);
    }
    if (shown != TPart::Date) {
        int h, n, s, ms;
        DecodeTime(value, h, n, s, ms);
        if (!text.empty()) text += ' ';
        AppendDigits(text, h, 2);
        text += ':';
        AppendDigits(text, n, 2);
        text += ':';
        AppendDigits(text, s, 2);
        if (ms != 0) {
            text += '.';
            AppendDigits(text, ms, 3);
        }
    }
    return text;
}

}  // namespace

// ---- TField -----------------------------------------------------------------------------------

TField::TField() : TComponent(nullptr) {}

TField::~TField() { BeforeDestruction(); }

void TField::SetIndex(int index) {
    if (dataSet_ != nullptr) dataSet_->MoveField(this, index);
}

void TField::SetDisplayLabel(std::string label) {
    if (label != displayLabel_) displayLabel_ = std::move(label);
}

void TField::SetEditMask(std::string mask) {
    if (mask != editMask_) editMask_ = std::move(mask);
}

void TField::SetVisible(bool visible) {
    if (visible != visible_) visible_ = visible;
}

void TField::SetReadOnly(bool readOnly) {
    if (readOnly != readOnly_) readOnly_ = readOnly;
}

void TField::SetDisplayWidth(int width) {
    width = width > 0 ? width : 0;
    if (width != displayWidth_) displayWidth_ = width;
}

const TFieldValue& TField::Value() const noexcept {
    static const TFieldValue kNull;
    return dataSet_ != nullptr ? dataSet_->CurrentValue(fieldNo_ - 1) : kNull;
}

bool TField::IsNull() const noexcept { return std::holds_alternative<std::monostate>(Value()); }

std::string TField::DisplayText() const {
    if (std::holds_alternative<TBlobData>(Value())) return "(BLOB)";
    return AsString();
}

void TField::ConvertError(std::string_view text, std::string_view what) const {
    throw EConvertError("Field '" + fieldName_ + "': '" + std::string(text) + "' is not a valid " +
                        std::string(what) + " value");
}

std::string TField::AsString() const {
    const TFieldValue& v = Value();
    if (const auto* i = std::get_if<long long>(&v)) return IntToStr(*i);
    if (const auto* d = std::get_if<double>(&v)) return FloatText(*d);
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* b = std::get_if<TBlobData>(&v)) return b->Bytes;
    return {};
}

long long TField::AsLargeInt() const {
    const TFieldValue& v = Value();
    if (const auto* i = std::get_if<long long>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) {
        // The range of long long, written so that NaN fails too.
        if (!(*d >= -9223372036854775808.0 && *d < 9223372036854775808.0)) ConvertError(FloatText(*d), "integer");
        return std::llround(*d);
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        long long result = 0;
        if (!ParseLargeInt(*s, result)) ConvertError(*s, "integer");
        return result;
    }
    if (std::holds_alternative<TBlobData>(v)) ConvertError("(BLOB)", "integer");
    return 0;
}

int TField::AsInteger() const {
    const long long value = AsLargeInt();
    if (value < INT32_MIN || value > INT32_MAX) ConvertError(IntToStr(value), "integer");
    return static_cast<int>(value);
}

double TField::AsFloat() const {
    const TFieldValue& v = Value();
    if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* s = std::get_if<std::string>(&v)) {
        double result = 0;
        if (!ParseFloat(*s, result)) ConvertError(*s, "floating point");
        return result;
    }
    if (std::holds_alternative<TBlobData>(v)) ConvertError("(BLOB)", "floating point");
    return 0;
}

bool TField::AsBoolean() const {
    const TFieldValue& v = Value();
    if (const auto* i = std::get_if<long long>(&v)) return *i != 0;
    if (const auto* d = std::get_if<double>(&v)) return *d != 0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        bool result = false;
        if (!ParseBoolean(*s, result)) ConvertError(*s, "boolean");
        return result;
    }
    if (std::holds_alternative<TBlobData>(v)) ConvertError("(BLOB)", "boolean");
    return false;
}

TDateTime TField::AsDateTime() const {
    const TFieldValue& v = Value();
    if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* s = std::get_if<std::string>(&v)) {
        TDateTime result = 0;
        if (!ParseDateTime(*s, result)) ConvertError(*s, "date and time");
        return result;
    }
    if (std::holds_alternative<TBlobData>(v)) ConvertError("(BLOB)", "date and time");
    return 0;
}

// ---- Field kinds --------------------------------------------------------------------------------

void TStringField::Define(const TFieldDef& def) {
    TFieldDef sized = def;
    if (sized.Size <= 0) sized.Size = DefaultStringSize;
    TField::Define(sized);
}

void TNumericField::SetDisplayFormat(std::string format) {
    if (format != displayFormat_) displayFormat_ = std::move(format);
}

std::string TNumericField::DisplayText() const {
    const TFieldValue& v = Value();
    const std::string_view format =
        displayFormat_.empty() ? std::string_view(DefaultDisplayFormat()) : std::string_view(displayFormat_);
    long long whole = 0;
    // Whole numbers directly, so that those beyond double's 53 bits keep every digit.
    if (format.empty() && WholeNumberOf(v, whole)) return IntToStr(whole);
    double number = 0;
    if (!NumberOf(v, number)) return TField::DisplayText();
    return FormatFloat(format, number);
}

void TBCDField::Define(const TFieldDef& def) {
    TField::Define(def);
    if (def.Precision > 0) precision_ = def.Precision;
}

void TBooleanField::SetDisplayValues(std::string values) {
    if (values != displayValues_) displayValues_ = std::move(values);
}

std::string TBooleanField::AsString() const {
    bool flag = false;
    if (!FlagOf(Value(), flag)) return TField::AsString();
    return flag ? "True" : "False";
}

std::string TBooleanField::DisplayText() const {
    bool flag = false;
    if (!FlagOf(Value(), flag)) return TField::DisplayText();
    if (displayValues_.empty()) return flag ? "True" : "False";
    const std::size_t semicolon = displayValues_.find(';');
    if (semicolon == std::string::npos) return flag ? displayValues_ : std::string();
    return flag ? displayValues_.substr(0, semicolon) : displayValues_.substr(semicolon + 1);
}

void TDateTimeField::SetDisplayFormat(std::string format) {
    if (format != displayFormat_) displayFormat_ = std::move(format);
}

std::string TDateTimeField::AsString() const {
    TDateTime moment = 0;
    if (!MomentOf(Value(), moment)) return TField::AsString();
    return MomentText(moment, Shown());
}

std::string TDateTimeField::DisplayText() const {
    TDateTime moment = 0;
    if (!MomentOf(Value(), moment)) return TField::DisplayText();
    std::string_view format = displayFormat_;
    if (format.empty()) {
        switch (Shown()) {
            case TPart::Date: format = "ddddd"; break;  // ShortDateFormat
            case TPart::Time: format = "tt"; break;     // LongTimeFormat
            case TPart::Both: format = "c"; break;      // both, no time at midnight
        }
    }
    try {
        return FormatDateTime(format, moment);
    } catch (const EConvertError&) {
        return AsString();  // outside the calendar FormatDateTime knows
    }
}

}  // namespace vcl
