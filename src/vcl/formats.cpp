// Number and date formatting and date parsing by the format settings.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "vcl/sysutils.h"

namespace vcl {

TFormatSettings FormatSettings;

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// A quoted literal starting at format[i] (a ' or "): hands its text to out (if any) and
// moves i past the closing quote, or to the end when the quote is never closed.
void TakeQuoted(std::string_view format, std::size_t& i, std::string* out = nullptr) {
    const char quote = format[i++];
    const std::size_t start = i;
    while (i < format.size() && format[i] != quote) ++i;
    if (out) out->append(format.substr(start, i - start));
    if (i < format.size()) ++i;
}

// ==== Numbers ==========================================================================

// A magnitude as 0.Digits x 10^Exponent. Digits has neither leading nor trailing zeros and
// is empty for zero.
struct TDecimal {
    std::string Digits;
    int Exponent = 0;
    bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// The magnitude to 15 significant digits, what a double holds reliably; so 1.005, held as
// 1.00499999..., rounds to two decimals as 1,01 the way the user wrote it.
TDecimal ToDecimal(double value) {
    TDecimal d;
    value = std::fabs(value);
    if (value == 0) return d;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    const char* p = buf;
    for (; *p != 'e' && *p != '\0'; ++p)
        if (IsDigit(*p)) d.Digits += *p;
    d.Exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    StripTrailingZeros(d.Digits);
    return d;
}

// Keeps the first `keep` significant digits, rounding half away from zero.
void RoundToDigits(TDecimal& d, int keep) {
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9'; --i) d.Digits[static_cast<std::size_t>(i)] = '0';
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[static_cast<std::size_t>(i)];
        }
    }
    StripTrailingZeros(d.Digits);
    if (d.Digits.empty()) d.Exponent = 0;
}

// The digit at a position counted from the first significant one; zero outside them.
char DigitAt(const TDecimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<std::size_t>(index)] : '0';
}

// `count` digits from the significant digit number `first` on (negative: leading zeros).
std::string DigitRun(const TDecimal& d, int first, int count) {
    std::string r;
    for (int i = 0; i < count; ++i) r += DigitAt(d, first + i);
    return r;
}

std::string TrimLeadingZeros(std::string s) {
    const std::size_t p = s.find_first_not_of('0');
    return p == std::string::npos ? std::string() : s.substr(p);
}

// One section of a number format, parsed.
struct TNumToken {
    enum Kind { Literal, IntDigit, Point, FracDigit, Exponent } kind;
    std::string text;    // Literal: the text; Exponent: the letter and the sign as written
    int expDigits = 0;   // Exponent: the least number of exponent digits
};

struct TNumFormat {
    std::vector<TNumToken> tokens;
    int intPlaces = 0;   // digit placeholders before the decimal point
    int minInt = 0;      // integer digits always shown: from the first '0' on
    int fracPlaces = 0;  // digit placeholders after the decimal point
    int minFrac = 0;     // decimals always shown: up to the last '0'
    bool grouping = false;
    bool scientific = false;
};

TNumFormat ParseNumberSection(std::string_view s) {
    TNumFormat f;
    bool inFraction = false;
    int firstZero = -1;
    auto literal = [&f](std::string text) {
        if (!f.tokens.empty() && f.tokens.back().kind == TNumToken::Literal)
            f.tokens.back().text += text;
        else
            f.tokens.push_back({TNumToken::Literal, std::move(text)});
    };
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (IsQuote(c)) {
            std::string text;
            TakeQuoted(s, i, &text);
            literal(std::move(text));
            continue;
        }
        ++i;
        if (f.scientific) {  // everything after the exponent is text
            literal(std::string(1, c));
        } else if (c == '0' || c == '#') {
            if (inFraction) {
                ++f.fracPlaces;
                if (c == '0') f.minFrac = f.fracPlaces;
                f.tokens.push_back({TNumToken::FracDigit, {}});
            } else {
                if (c == '0' && firstZero < 0) firstZero = f.intPlaces;
                ++f.intPlaces;
                f.tokens.push_back({TNumToken::IntDigit, {}});
            }
        } else if (c == '.') {
            if (!inFraction) f.tokens.push_back({TNumToken::Point, {}});
            inFraction = true;  // a second point means nothing
        } else if (c == ',') {
            if (!inFraction) f.grouping = true;
        } else if ((c == 'E' || c == 'e') && i < s.size() && (s[i] == '+' || s[i] == '-')) {
            TNumToken t{TNumToken::Exponent, std::string{c, s[i]}};
            for (++i; i < s.size() && s[i] == '0'; ++i) ++t.expDigits;
            f.tokens.push_back(std::move(t));
            f.scientific = true;
        } else {
            literal(std::string(1, c));
        }
    }
    f.minInt = firstZero < 0 ? 0 : f.intPlaces - firstZero;
    return f;
}

// The sections split at ';' outside quotes; only the first three count.
std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (IsQuote(format[i])) {
            TakeQuoted(format, i);
        } else if (format[i] == ';') {
            sections.push_back(format.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    sections.push_back(format.substr(start));
    if (sections.size() > 3) sections.resize(3);
    return sections;
}

// The number of integer digits a scientific mantissa shows.
int MantissaIntDigits(const TNumFormat& f) { return std::max(1, f.intPlaces); }

// Rounds the magnitude to what the section shows.
TDecimal RoundFor(const TNumFormat& f, TDecimal d) {
    RoundToDigits(d, f.scientific ? MantissaIntDigits(f) + f.fracPlaces : d.Exponent + f.fracPlaces);
    return d;
}

// Writes an already rounded magnitude by one section.
std::string RenderNumber(const TNumFormat& f, const TDecimal& d, bool minus, const TFormatSettings& fs) {
    std::string intDigits, fracDigits;
    int exponent = 0;
    int minInt = f.minInt;
    if (f.scientific) {
        const int ip = MantissaIntDigits(f);
        minInt = std::max(minInt, 1);
        if (!d.IsZero()) exponent = d.Exponent - ip;
        intDigits = DigitRun(d, 0, ip);
        fracDigits = DigitRun(d, ip, f.fracPlaces);
    } else {
        intDigits = d.Exponent > 0 ? DigitRun(d, 0, d.Exponent) : std::string();
        fracDigits = DigitRun(d, d.Exponent, f.fracPlaces);
    }
    intDigits = TrimLeadingZeros(std::move(intDigits));
    if (static_cast<int>(intDigits.size()) < minInt)
        intDigits.insert(0, static_cast<std::size_t>(minInt) - intDigits.size(), '0');
    while (static_cast<int>(fracDigits.size()) > f.minFrac && fracDigits.back() == '0') fracDigits.pop_back();

    std::string out = minus ? "-" : "";
    const int n = static_cast<int>(intDigits.size());
    // Digit positions count from the units (0) up; grouping marks every third.
    auto emitInt = [&](int from, int to) {
        for (int q = from; q >= to; --q) {
            out += intDigits[static_cast<std::size_t>(n - 1 - q)];
            if (f.grouping && q > 0 && q % 3 == 0) out += fs.ThousandSeparator;
        }
    };
    int intIndex = 0, fracIndex = 0;
    for (const TNumToken& t : f.tokens) {
        switch (t.kind) {
        case TNumToken::Literal:
            out += t.text;
            break;
        case TNumToken::IntDigit: {
            const int pos = f.intPlaces - 1 - intIndex;
            // The first placeholder also takes the digits the format has no room for.
            if (intIndex++ == 0)
                emitInt(n - 1, pos);
            else if (pos < n)
                emitInt(pos, pos);
            break;
        }
        case TNumToken::Point:
            if (f.intPlaces == 0) emitInt(n - 1, 0);  // ".00" still shows the integer part
            if (!fracDigits.empty()) out += fs.DecimalSeparator;
            break;
        case TNumToken::FracDigit:
            if (fracIndex < static_cast<int>(fracDigits.size())) out += fracDigits[static_cast<std::size_t>(fracIndex)];
            ++fracIndex;
            break;
        case TNumToken::Exponent: {
            out += t.text[0];
            if (exponent < 0)
                out += '-';
            else if (t.text[1] == '+')
                out += '+';
            std::string digits = std::to_string(std::abs(exponent));
            if (static_cast<int>(digits.size()) < t.expDigits)
                digits.insert(0, static_cast<std::size_t>(t.expDigits) - digits.size(), '0');
            out += digits;
            break;
        }
        }
    }
    return out;
}

const char* NonFiniteText(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// ==== Dates and times ==================================================================

constexpr int kMaxNesting = 2;  // c, ddddd, t ... inside a nested format expand no further

// The years 1 to 9999; anything else (or not a number) cannot be decoded.
void CheckDateRange(TDateTime value, const TFormatSettings& fs) {
    if (!(std::isfinite(value) && value >= EncodeDate(1, 1, 1) && value < EncodeDate(9999, 12, 31) + 1))
        throw EConvertError("Invalid date and time value " + FloatToStr(value, fs));
}

std::string Padded(int value, int width) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (LowerAscii(s[at + k]) != word[k]) return false;
    return true;
}

// An am/pm marker anywhere outside quotes switches hours to the 12-hour clock.
bool UsesTwelveHours(std::string_view format) {
    for (std::size_t i = 0; i < format.size();) {
        if (IsQuote(format[i])) {
            TakeQuoted(format, i);
        } else if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p")) {
            return true;
        } else {
            ++i;
        }
    }
    return false;
}

struct TDateParts {
    int year, month, day, hour, minute, second, msec, dayOfWeek;  // dayOfWeek 0 = Sunday
    bool midnight() const { return hour == 0 && minute == 0 && second == 0 && msec == 0; }
};

void AppendDateTime(std::string& out, std::string_view format, const TDateParts& p, const TFormatSettings& fs,
                    int depth);

void AppendNested(std::string& out, std::string_view format, const TDateParts& p, const TFormatSettings& fs,
                  int depth) {
    if (depth < kMaxNesting) AppendDateTime(out, format, p, fs, depth + 1);
}

void AppendDateTime(std::string& out, std::string_view format, const TDateParts& p, const TFormatSettings& fs,
                    int depth) {
    const bool twelveHours = UsesTwelveHours(format);
    bool afterHour = false;  // m and mm right after h or hh mean minutes
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char lc = LowerAscii(c);
        if (IsQuote(c)) {
            TakeQuoted(format, i, &out);
            continue;
        }
        if (c == '/' || c == ':') {
            out += c == '/' ? fs.DateSeparator : fs.TimeSeparator;
            ++i;
            continue;
        }
        if (lc == 'a') {
            if (StartsWithNoCase(format, i, "am/pm")) {
                out += format.substr(i + (p.hour < 12 ? 0 : 3), 2);
                i += 5;
            } else if (StartsWithNoCase(format, i, "a/p")) {
                out += format[i + (p.hour < 12 ? 0 : 2)];
                i += 3;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        if (std::string_view("cdmyhnszt").find(lc) == std::string_view::npos) {
            out += c;  // any other character stands for itself
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < format.size() && LowerAscii(format[i + run]) == lc) ++run;
        i += run;
        bool isHour = false;
        switch (lc) {
        case 'c':
            AppendNested(out, fs.ShortDateFormat, p, fs, depth);
            if (!p.midnight()) {
                out += ' ';
                AppendNested(out, fs.LongTimeFormat, p, fs, depth);
            }
            break;
        case 'd':
            if (run <= 2)
                out += Padded(p.day, static_cast<int>(run));
            else if (run == 3)
                out += fs.ShortDayNames[p.dayOfWeek];
            else if (run == 4)
                out += fs.LongDayNames[p.dayOfWeek];
            else
                AppendNested(out, run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, p, fs, depth);
            break;
        case 'm':
            if (run <= 2 && afterHour)
                out += Padded(p.minute, static_cast<int>(run));
            else if (run <= 2)
                out += Padded(p.month, static_cast<int>(run));
            else
                out += (run == 3 ? fs.ShortMonthNames : fs.LongMonthNames)[p.month - 1];
            break;
        case 'y':
            out += run <= 2 ? Padded(p.year % 100, 2) : Padded(p.year, 4);
            break;
        case 'h': {
            int hour = p.hour;
            if (twelveHours) hour = hour % 12 == 0 ? 12 : hour % 12;
            out += Padded(hour, run == 1 ? 1 : 2);
            isHour = true;
            break;
        }
        case 'n':
            out += Padded(p.minute, run == 1 ? 1 : 2);
            break;
        case 's':
            out += Padded(p.second, run == 1 ? 1 : 2);
            break;
        case 'z':
            out += Padded(p.msec, run < 3 ? 1 : 3);
            break;
        case 't':
            AppendNested(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth);
            break;
        }
        afterHour = isHour;
    }
}

// ---- Parsing --------------------------------------------------------------------------

// Reads a date or time text piece by piece; each successful read moves past what it read.
class TDateScanner {
public:
    TDateScanner(std::string_view text, const TFormatSettings& fs) : s_(text), fs_(fs) {}

    bool AtEnd() const { return pos_ >= s_.size(); }
    void Reset(std::size_t pos) { pos_ = pos; }

    bool Char(char c) {
        if (AtEnd() || s_[pos_] != c) return false;
        ++pos_;
        return true;
    }

    bool Blanks() {
        const std::size_t start = pos_;
        while (!AtEnd() && s_[pos_] == ' ') ++pos_;
        return pos_ > start;
    }

    // One to maxDigits decimal digits.
    bool Number(int maxDigits, int& value, int& digits) {
        value = 0;
        digits = 0;
        while (!AtEnd() && IsDigit(s_[pos_])) {
            if (++digits > maxDigits) return false;
            value = value * 10 + (s_[pos_++] - '0');
        }
        return digits > 0;
    }

    bool Date(TDateTime& result) {
        int n[3], len[3];
        int count = 0;
        if (!Number(4, n[0], len[0])) return false;
        for (count = 1; count < 3 && Char(fs_.DateSeparator); ++count) {
            if (!Number(4, n[count], len[count])) {
                // "5.3." is the fifth of March of this year
                if (count == 2) break;
                return false;
            }
        }
        if (count < 2) return false;
        const std::string order = DateOrder(count == 3 && len[0] >= 3);
        int year = 0, month = 0, day = 0, yearDigits = 4;
        int k = 0;
        for (const char part : order) {
            if (part == 'y' && count == 2) continue;  // no year written: this year
            const int v = n[k];
            if (part == 'y') yearDigits = len[k];
            ++k;
            (part == 'd' ? day : part == 'm' ? month : year) = v;
        }
        if (count == 2 || yearDigits <= 2) {
            int thisYear, thisMonth, thisDay;
            DecodeDate(vcl::Date(), thisYear, thisMonth, thisDay);
            year = count == 2 ? thisYear : WindowedYear(year, thisYear);
        }
        return TryEncodeDate(year, month, day, result);
    }

    bool Time(TDateTime& result) {
        int h, n, sec = 0, ms = 0, digits;
        if (!Number(2, h, digits) || !Char(fs_.TimeSeparator) || !Number(2, n, digits)) return false;
        if (Char(fs_.TimeSeparator)) {
            if (!Number(2, sec, digits)) return false;
            if (Char(fs_.DecimalSeparator)) {
                if (!Number(3, ms, digits)) return false;
                for (; digits < 3; ++digits) ms *= 10;  // a fraction of a second: ",5" is 500 ms
            }
        }
        return TryEncodeTime(h, n, sec, ms, result);
    }

private:
    // The order of day, month and year in the short date format; a date written with a
    // long first number is read year first whatever the format says.
    std::string DateOrder(bool yearFirst) const {
        if (yearFirst) return "ymd";
        std::string order;
        const std::string_view f = fs_.ShortDateFormat;
        for (std::size_t i = 0; i < f.size();) {
            if (IsQuote(f[i])) {
                TakeQuoted(f, i);
                continue;
            }
            const char c = LowerAscii(f[i++]);
            if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == std::string::npos) order += c;
        }
        for (const char c : std::string_view("dmy"))
            if (order.find(c) == std::string::npos) order += c;
        return order;
    }

    int WindowedYear(int twoDigits, int thisYear) const {
        const int base = thisYear - fs_.TwoDigitYearCenturyWindow;
        int year = base / 100 * 100 + twoDigits;
        if (year < base) year += 100;
        return year;
    }

    std::string_view s_;
    const TFormatSettings& fs_;
    std::size_t pos_ = 0;
};

enum class TWant { Date, Time, DateTime };

bool TryParse(std::string_view text, TDateTime& value, const TFormatSettings& fs, TWant want) {
    const std::string s = Trim(text);
    TDateScanner scan(s, fs);
    TDateTime date = 0, time = 0;
    if (want != TWant::Time && scan.Date(date)) {
        if (scan.AtEnd()) {
            value = date;
            return true;
        }
        if (want == TWant::DateTime && scan.Blanks() && scan.Time(time) && scan.AtEnd()) {
            // Days and the fraction add, as DecodeDate and DecodeTime read them back.
            value = date + time;
            return true;
        }
    }
    if (want == TWant::Date) return false;
    scan.Reset(0);
    if (scan.Time(time) && scan.AtEnd()) {
        value = time;
        return true;
    }
    return false;
}

TDateTime ParseOrThrow(std::string_view text, const TFormatSettings& fs, TWant want, const char* what) {
    TDateTime value = 0;
    if (!TryParse(text, value, fs, want))
        throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
    return value;
}

}  // namespace

// ==== Public routines ==================================================================

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (format.empty()) return FloatToStr(value, settings);
    const std::vector<std::string_view> sections = SplitSections(format);
    const TDecimal magnitude = ToDecimal(value);
    const bool negative = value < 0;
    const std::size_t chosen = negative && sections.size() >= 2 && !sections[1].empty() ? 1 : 0;

    TNumFormat f = ParseNumberSection(sections[chosen]);
    TDecimal shown = RoundFor(f, magnitude);
    if (!shown.IsZero()) return RenderNumber(f, shown, negative && chosen == 0, settings);
    // Zero, or rounded to zero at the shown decimals: no minus sign, the zero section if any.
    const std::size_t zeroSection = sections.size() >= 3 && !sections[2].empty() ? 2 : 0;
    return RenderNumber(ParseNumberSection(sections[zeroSection]), TDecimal{}, false, settings);
}

std::string FloatToStr(double value, const TFormatSettings& settings) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const TDecimal d = ToDecimal(value);
    if (d.IsZero()) return "0";
    std::string out = value < 0 ? "-" : "";
    const int e = d.Exponent;  // digits before the decimal point
    if (e > 15 || e < -4) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) out += settings.DecimalSeparator + d.Digits.substr(1);
        out += 'E';
        out += std::to_string(e - 1);
        return out;
    }
    out += e > 0 ? DigitRun(d, 0, e) : "0";
    if (static_cast<int>(d.Digits.size()) > e) out += settings.DecimalSeparator + DigitRun(d, e, static_cast<int>(d.Digits.size()) - e);
    return out;
}

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings) {
    CheckDateRange(value, settings);
    TDateParts p{};
    DecodeDate(value, p.year, p.month, p.day);
    DecodeTime(value, p.hour, p.minute, p.second, p.msec);
    p.dayOfWeek = DayOfWeek(value) - 1;
    std::string out;
    AppendDateTime(out, format.empty() ? std::string_view("c") : format, p, settings, 0);
    return out;
}

std::string DateToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime("ddddd", value, settings);
}

std::string TimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime("tt", value, settings);
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime("c", value, settings);
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
    return TryParse(text, value, settings, TWant::DateTime);
}

bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
    return TryParse(text, value, settings, TWant::Date);
}

bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
    return TryParse(text, value, settings, TWant::Time);
}

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings) {
    return ParseOrThrow(text, settings, TWant::DateTime, "date and time");
}

TDateTime StrToDate(std::string_view text, const TFormatSettings& settings) {
    return ParseOrThrow(text, settings, TWant::Date, "date");
}

TDateTime StrToTime(std::string_view text, const TFormatSettings& settings) {
    return ParseOrThrow(text, settings, TWant::Time, "time");
}

int DayOfWeek(TDateTime value) {
    CheckDateRange(value, FormatSettings);
    // Day 0, 1899-12-30, was a Saturday.
    const long long day = static_cast<long long>(std::floor(value));
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

}  // namespace vcl
