#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>

#include "vcl/sysutils.h"

namespace fs = std::filesystem;

namespace vcl {

namespace {
std::optional<fs::path>& driveRootOverride() {
    static std::optional<fs::path> root;
    return root;
}

fs::path DefaultDriveRoot() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0')
        return fs::path(xdg) / "spaltwerk" / "drives";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return fs::path(home) / ".local" / "share" / "spaltwerk" / "drives";
    return fs::temp_directory_path() / "spaltwerk" / "drives";
}

std::string SystemMessage(int error) { return std::strerror(error); }
}  // namespace

fs::path DriveRoot() { return driveRootOverride().value_or(DefaultDriveRoot()); }
void SetDriveRoot(const fs::path& root) { driveRootOverride() = root; }
void ResetDriveRoot() { driveRootOverride().reset(); }

fs::path MapPath(std::string_view windowsPath) {
    std::string rest(windowsPath);
    for (char& c : rest)
        if (c == '\\') c = '/';
    const bool hasDrive = rest.size() >= 2 && rest[1] == ':' &&
                          ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
    if (!hasDrive) return fs::path(rest);
    const std::string drive = UpperCase(rest.substr(0, 1));
    rest.erase(0, 2);
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    return DriveRoot() / drive / rest;
}

bool DirectoryExists(std::string_view path) {
    std::error_code ec;
    return fs::is_directory(MapPath(path), ec);
}

bool ForceDirectories(std::string_view path) {
    std::error_code ec;
    const fs::path p = MapPath(path);
    fs::create_directories(p, ec);
    return fs::is_directory(p, ec);
}

bool FileExists(std::string_view path) {
    std::error_code ec;
    return fs::is_regular_file(MapPath(path), ec);
}

// ---- TTextReader ----------------------------------------------------------------------

TTextReader::TTextReader(std::string_view path) {
    const fs::path p = MapPath(path);
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EInOutError("Cannot open " + std::string(path) + ": " + SystemMessage(errno));
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw EInOutError("Cannot read " + std::string(path) + ": " + SystemMessage(error));
        }
        data_.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
}

std::string_view TTextReader::ReadLnView() {
    ++line_;
    const char* const begin = data_.data() + pos_;
    const char* const end = data_.data() + data_.size();
    // Settings lines are a few characters long: a plain scan beats a library call per line.
    const char* p = begin;
    while (p != end && *p != '\n' && *p != '\r') ++p;
    const std::string_view line(begin, static_cast<std::size_t>(p - begin));
    if (p != end) {
        if (*p == '\r' && p + 1 != end && p[1] == '\n') ++p;
        ++p;
    }
    pos_ = static_cast<std::size_t>(p - data_.data());
    return line;
}

// ---- TTextWriter ----------------------------------------------------------------------

TTextWriter::TTextWriter(std::string_view path, Replace mode)
    : target_(MapPath(path)), file_(target_), buffer_(new char[kBufferSize]) {
    if (mode == Replace::Safely) file_ += ".tmp";
    handle_ = std::fopen(file_.c_str(), "wb");
    if (handle_ == nullptr) throw EInOutError("Cannot create " + std::string(path) + ": " + SystemMessage(errno));
}

TTextWriter::~TTextWriter() {
    if (handle_ != nullptr) std::fclose(handle_);
    if (!committed_ && file_ != target_) {
        std::error_code ec;
        fs::remove(file_, ec);  // an unfinished temporary file never replaces the target
    }
}

void TTextWriter::WriteLong(std::string_view text) {
    Flush();
    if (text.size() <= kBufferSize) {
        Write(text);
        return;
    }
    // Too long to collect: straight out.
    if (std::fwrite(text.data(), 1, text.size(), handle_) != text.size())
        throw EInOutError("Cannot write " + target_.string() + ": " + SystemMessage(errno));
}

void TTextWriter::WriteLn(long long number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    WriteLn(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void TTextWriter::Flush() {
    if (handle_ == nullptr) throw EInOutError("File " + file_.string() + " is closed");
    if (used_ > 0 && std::fwrite(buffer_.get(), 1, used_, handle_) != used_)
        throw EInOutError("Cannot write " + target_.string() + ": " + SystemMessage(errno));
    used_ = 0;
}

void TTextWriter::Commit() {
    Flush();
    if (std::fflush(handle_) != 0 || ::fsync(::fileno(handle_)) != 0)
        throw EInOutError("Cannot write " + target_.string() + ": " + SystemMessage(errno));
    const int closed = std::fclose(handle_);
    handle_ = nullptr;
    if (closed != 0) throw EInOutError("Cannot write " + target_.string() + ": " + SystemMessage(errno));
    if (file_ != target_) {
        std::error_code ec;
        fs::rename(file_, target_, ec);
        if (ec) throw EInOutError("Cannot replace " + target_.string() + ": " + ec.message());
    }
    committed_ = true;
}

}  // namespace vcl
