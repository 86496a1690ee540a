// Texts of fixed capacity, as the settings records keep them.
#pragma once

#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace spaltwerk {

// At most N single-byte characters that know their own length. Assigning a longer text
// keeps its first N characters. Comparison is byte for byte, length included.
template <std::size_t N>
class FixedString {
    static_assert(N > 0 && N <= 255, "the length is kept in one byte");

public:
    static constexpr std::size_t Capacity = N;

    constexpr FixedString() = default;
    // Implicit on purpose: records are filled from plain texts (entry.Caption = "Name").
    template <class T>
        requires std::convertible_to<const T&, std::string_view>
    FixedString(const T& text) {  // NOLINT(google-explicit-constructor)
        Assign(std::string_view(text));
    }

    void Assign(std::string_view text) noexcept {
        len_ = static_cast<std::uint8_t>(std::min(text.size(), N));
        // An empty view may carry a null address, which memcpy must never be given.
        if (len_ != 0) std::memcpy(data_.data(), text.data(), len_);
    }

    std::size_t size() const noexcept { return len_; }
    bool empty() const noexcept { return len_ == 0; }
    const char* data() const noexcept { return data_.data(); }
    std::string_view view() const noexcept { return {data_.data(), len_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const noexcept { return view(); }  // NOLINT(google-explicit-constructor)
    explicit operator std::string() const { return str(); }

    // One overload serves every pairing: other fixed texts and plain texts convert to a view.
    friend bool operator==(const FixedString& a, std::string_view b) noexcept { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& os, const FixedString& s) { return os << s.view(); }

private:
    std::array<char, N> data_{};
    std::uint8_t len_ = 0;
};

using String30 = FixedString<30>;
using String20 = FixedString<20>;

}  // namespace spaltwerk
