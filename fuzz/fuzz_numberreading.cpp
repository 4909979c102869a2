// Number reading against the C library's own readers in the C locale, which
// must agree wherever the grammars meet: strtod also reads hexadecimal,
// infinity and NaN but no 'd' exponent; strtol reads a long, not an int.
#include "calc/numberreading.h"
#include "fuzz/checks.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// Where the number starts: after C blanks and one sign.
size_t NumberStart(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && calc::IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i;
}

double ReferenceNumber(std::string text)
{
    const size_t start = NumberStart(text);
    if (start < text.size() && text[start] != '\0' && std::strchr("iInN", text[start]))
        return 0.0; // no infinity or NaN spellings
    if (start + 1 < text.size() && text[start] == '0' && (text[start + 1] | 0x20) == 'x')
        text[start + 1] = 'z'; // no hexadecimal: the number ends at the 0
    std::replace(text.begin(), text.end(), 'd', 'e');
    std::replace(text.begin(), text.end(), 'D', 'E');
    return strtod_l(text.c_str(), nullptr, CLocale());
}

int ReferenceWholeNumber(const std::string& text)
{
    const long value = strtol_l(text.c_str(), nullptr, 10, CLocale());
    return int(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = calc::ReadNumber(text);
    // Both stop at a NUL, as the C readers see the end of the text there.
    fuzz::Check(value == ReferenceNumber(text), "ReadNumber reads as strtod does", text);
    fuzz::Check(calc::ReadWholeNumber(text) == ReferenceWholeNumber(text),
        "ReadWholeNumber reads as strtol does, clamped to int", text);
    return 0;
}
