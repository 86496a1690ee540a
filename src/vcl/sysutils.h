// Exceptions, text routines, the Windows-1252 / UTF-8 boundary, and files.
#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// ---- Exceptions ---------------------------------------------------------------------

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    std::string Message() const { return what(); }
};
class EConvertError : public Exception { using Exception::Exception; };
class EIntOverflow : public Exception { using Exception::Exception; };
class EOverflow : public Exception { using Exception::Exception; };
class EInOutError : public Exception { using Exception::Exception; };
class EDatabaseError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };

// ---- Text ---------------------------------------------------------------------------
// Text is single-byte Windows-1252 throughout; UTF-8 only at the edges (SQLite, terminal).

// Changes only the letters a to z.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Removes characters with codes of 32 or less from both ends.
std::string Trim(std::string_view s);
std::string IntToStr(long long value);
// Strict: optional leading blanks, an optional sign, one or more decimal digits, nothing
// else, within the 32-bit signed range. Anything else raises EConvertError.
int StrToInt(std::string_view s);
// Same rule; false instead of an exception.
bool TryStrToInt(std::string_view s, int& value);

// Bytes 0x80-0x9F map through the Windows-1252 table; the five bytes that code page leaves
// undefined (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of the same number, so every
// byte survives a round trip. Every other byte is its own code point.
std::string Win1252ToUtf8(std::string_view s);
// Characters without a Windows-1252 byte, and malformed UTF-8, become '?'.
std::string Utf8ToWin1252(std::string_view s);

// ---- Date and time ------------------------------------------------------------------
// A moment as days since 1899-12-30 00:00, the fraction being the time of day.

using TDateTime = double;

// EConvertError for a date or time that does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
// The current local date and time; Date() is today at midnight.
TDateTime Now();
TDateTime Date();

// ---- Files --------------------------------------------------------------------------
// The package names Windows paths (C:\WINDOWS\ZRK\ZRKFIELD.INI). A drive letter maps to a
// folder below the drive root: <root>/C/WINDOWS/ZRK/ZRKFIELD.INI. Backslashes become
// slashes. A path without a drive letter is used as it stands.

// The folder under which drive letters live. Default: $XDG_DATA_HOME/spaltwerk/drives,
// or ~/.local/share/spaltwerk/drives.
std::filesystem::path DriveRoot();
void SetDriveRoot(const std::filesystem::path& root);
// Back to the default.
void ResetDriveRoot();
std::filesystem::path MapPath(std::string_view windowsPath);

bool DirectoryExists(std::string_view path);
// Creates the directory and every missing directory above it; false when it cannot.
bool ForceDirectories(std::string_view path);
bool FileExists(std::string_view path);

// Reads a whole file line by line. A line ends at CR LF, LF or CR; lines come without their
// end. Failures raise EInOutError.
class TTextReader {
public:
    explicit TTextReader(std::string_view path);
    bool Eof() const noexcept { return pos_ >= data_.size(); }
    // The next line; at the end of the file an empty line.
    std::string ReadLn() { return std::string(ReadLnView()); }
    // The same without a copy: a view into the reader's copy of the file, valid as long as
    // the reader lives.
    std::string_view ReadLnView();
    // The line number (from 1) of the line read last; 0 before the first read.
    int LineNo() const noexcept { return line_; }

private:
    std::string data_;
    std::size_t pos_ = 0;
    int line_ = 0;
};

// Writes a file line by line, each line ending in CR LF. With Replace::Safely the lines go
// into a temporary file beside the target, which replaces the target only when Commit has
// written, flushed and synced every line; otherwise the target stays as it was. Failures
// raise EInOutError.
class TTextWriter {
public:
    enum class Replace { Directly, Safely };
    explicit TTextWriter(std::string_view path, Replace mode = Replace::Directly);
    ~TTextWriter();
    TTextWriter(const TTextWriter&) = delete;
    TTextWriter& operator=(const TTextWriter&) = delete;

    // Text as it stands, with whatever line ends it holds. Inline for the common case, text
    // that fits into the buffer: settings files have millions of lines of a few characters.
    void Write(std::string_view text) {
        if (text.size() > kBufferSize - used_) return WriteLong(text);
        if (text.empty()) return;  // an empty view may carry no address at all
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void WriteLn(std::string_view line) {
        Write(line);
        Write("\r\n");
    }
    void WriteLn(long long number);
    // Writes everything out and, with Replace::Safely, puts the file in place.
    void Commit();

private:
    static constexpr std::size_t kBufferSize = 1 << 20;
    void Flush();
    void WriteLong(std::string_view text);

    std::filesystem::path target_;
    std::filesystem::path file_;  // what is written: the target, or the temporary file
    std::FILE* handle_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // lines collect here and go out in large writes
    std::size_t used_ = 0;
    bool committed_ = false;
};

// ==== Format settings, number and date formatting (formats.cpp) =========================

// How numbers, dates and times are written and read. The defaults are German. Day names
// start with Sunday (index 0), as the class library's day of the week does.
struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char DateSeparator = '.';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd.mm.yyyy";
    std::string LongDateFormat = "dddd, d. mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                       "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::string LongMonthNames[12] = {"Januar", "Februar", "M\xE4" "rz", "April", "Mai", "Juni",
                                      "Juli", "August", "September", "Oktober", "November", "Dezember"};
    std::string ShortDayNames[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    std::string LongDayNames[7] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    // A year written with one or two digits lands in the hundred years that start this many
    // years before the current year.
    int TwoDigitYearCenturyWindow = 50;
};

// The settings every routine below uses unless it is handed others. Programs and tests may
// change it; TFormatSettings{} restores the defaults.
extern TFormatSettings FormatSettings;

// Formats a number by a format of up to three sections "positive;negative;zero":
//   0 digit, # digit shown only when significant, . decimal separator, , (in the integer
//   part) thousands grouping, E+ E- e+ e- exponent with the following 0s as its digits,
//   '...' and "..." literal text, anything else literal.
// The negative section shows no minus sign of its own; a value that rounds to zero at the
// shown decimals takes the zero section. Rounding is half away from zero. An empty format
// gives FloatToStr.
std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings = FormatSettings);
// General format: up to 15 significant digits, scientific when the number is very large or
// very small (1E20, 1,5E-7). Infinities and NaN give "INF", "-INF" and "NAN".
std::string FloatToStr(double value, const TFormatSettings& settings = FormatSettings);

// Formats a moment. Letters are not case-sensitive:
//   d dd ddd dddd (day, names), ddddd dddddd (short, long date format), m mm mmm mmmm
//   (month, names; m and mm right after an h or hh mean minutes), yy yyyy, h hh, n nn,
//   s ss, z zzz, t tt (short, long time format), am/pm a/p (12-hour clock), c (short date
//   and long time, the time left out at midnight), / date separator, : time separator,
//   '...' "..." literal text. An empty format means c.
// EConvertError for a value outside the years 1 to 9999.
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings = FormatSettings);
std::string DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);
std::string TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings);

// Reads "date", "time" or "date time". A date is two or three numbers between date
// separators, in the day, month and year order of ShortDateFormat (two numbers: this year;
// a first number of three or four digits starts a year-month-day date); a one- or
// two-digit year goes through the century window. A time is h:n or h:n:s, seconds with an
// optional fraction after the decimal separator. Blanks around the text are ignored.
// Anything else raises EConvertError naming the text.
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings = FormatSettings);
TDateTime StrToDate(std::string_view text, const TFormatSettings& settings = FormatSettings);
TDateTime StrToTime(std::string_view text, const TFormatSettings& settings = FormatSettings);
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings);
bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings);
bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings);

// 1 for Sunday to 7 for Saturday.
int DayOfWeek(TDateTime value);

}  // namespace vcl
