#include "store/conversions.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "vcl/sysutils.h"

namespace spaltwerk {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The smallest extended value that rounds to infinity as a double: DBL_MAX plus half of
// its last place (the tie rounds up, to the even infinity).
constexpr long double kDoubleOverflow = static_cast<long double>(DBL_MAX) + 0x1p970L;

double RoundToDouble(long double value) {
    if (std::fabs(value) >= kDoubleOverflow) throw vcl::EOverflow("Floating point overflow");
    return static_cast<double>(value);
}
}  // namespace

// Blanks need no trimming here or below: like everything else that is no digit, sign or
// separator they are skipped. StringToFLOAT_ runs for every painted cell of a numeric
// colour rule, so it copies nothing.
int StringToInt_(std::string_view S) {
    long long value = 0;
    bool negative = false;
    for (char c : S) {
        if (IsDigit(c)) {
            value = value * 10 + (c - '0');
            if (value > INT_MAX) throw vcl::EIntOverflow("Integer overflow");
        } else if (c == '-') {
            negative = !negative;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

double StringToFLOAT_(std::string_view S) {
    static constexpr long double kTenth = 0.1L;
    double value = 0.0;
    bool negative = false;
    int decimals = -1;  // -1: no separator seen yet
    for (char c : S) {
        if (IsDigit(c)) {
            value = RoundToDouble(static_cast<long double>(c - '0') + static_cast<long double>(value) * 10.0L);
            if (decimals >= 0) ++decimals;
        } else if (c == ',' || c == '.') {
            decimals = 0;
        } else if (c == '-') {
            negative = !negative;
        }
    }
    for (; decimals > 0; --decimals) value = static_cast<double>(static_cast<long double>(value) * kTenth);
    return negative ? -value : value;
}

bool StringToBool_(std::string_view S) { return S.find_first_of("Tt") != std::string_view::npos; }

}  // namespace spaltwerk
