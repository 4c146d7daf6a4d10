#pragma once
// A German desktop writes decimal commas: the C locale's LC_NUMERIC and the
// global C++ locale both say so. Tests of number formatting run under such a
// locale so that locale-dependent formatting shows up as "1,5".
#include <locale>
#include <string>

namespace qm::test {

inline constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Switches both locales' numbers to kCommaLocale for its lifetime and then
// restores what was there. Tests assert Active() with Problem() as the
// message: a missing locale must fail them, never let them pass unchecked.
class TCommaLocale {
public:
    TCommaLocale();
    ~TCommaLocale();
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;

    [[nodiscard]] bool Active() const { return FProblem.empty(); }
    // Why the locale is not active and how to generate it; "" when it is.
    [[nodiscard]] const std::string& Problem() const { return FProblem; }

private:
    std::string FSavedC;
    std::locale FSavedGlobal;
    std::string FProblem;
};

} // namespace qm::test
