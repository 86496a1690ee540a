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

}  // namespace vcl
