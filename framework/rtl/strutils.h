// Text helpers of the runtime: trimming and the locale's case-insensitive comparison.
#pragma once
#include <string>
#include <string_view>

namespace kestrova::rtl {

// Whether c is dropped by trimming: the blank and every control character (codes 0 to 32).
constexpr bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

// The text without the characters of codes 0 to 32 at either end; nothing inside is touched.
std::string_view TrimView(std::string_view s);
inline std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

// Equal apart from case, by the user locale's comparison.
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace kestrova::rtl
