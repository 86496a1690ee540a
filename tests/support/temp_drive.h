// A temporary drive root for one test, so that nothing lands in the real home directory.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "vcl/sysutils.h"

namespace testing_support {

class TempDrive {
public:
    TempDrive() {
        std::string pattern = (std::filesystem::temp_directory_path() / "spaltwerk-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        vcl::SetDriveRoot(root_);
    }
    ~TempDrive() {
        vcl::ResetDriveRoot();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines joined with CR LF, each one ended.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace testing_support
