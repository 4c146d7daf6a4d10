#include "CommaLocale.h"

#include <clocale>
#include <stdexcept>

namespace qm::test {

TCommaLocale::TCommaLocale() : FSavedC(std::setlocale(LC_ALL, nullptr)) {
    const std::string howTo =
        std::string("the locale ") + kCommaLocale +
        " is not installed; generate it with `sh scripts/install-deps.sh` (as root), or with "
        "`sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen && locale-gen`";
    try {
        // Only the numeric facet changes; the rest of the global locale stays.
        std::locale::global(std::locale(std::locale(), kCommaLocale, std::locale::numeric));
    } catch (const std::runtime_error&) {
        FProblem = howTo;
        return;
    }
    if (std::setlocale(LC_NUMERIC, kCommaLocale) == nullptr) {
        FProblem = howTo;
        return;
    }
    if (std::localeconv()->decimal_point != std::string(",") ||
        std::use_facet<std::numpunct<char>>(std::locale()).decimal_point() != ',')
        FProblem = std::string("the locale ") + kCommaLocale + " does not write decimal commas";
}

TCommaLocale::~TCommaLocale() {
    std::locale::global(FSavedGlobal);
    std::setlocale(LC_ALL, FSavedC.c_str());
}

} // namespace qm::test
