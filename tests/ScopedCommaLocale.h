#pragma once
// Puts the process under a numeric locale that writes a decimal comma, as a window program is when
// the user's environment names one (the GUI toolkit takes LC_NUMERIC from the environment), and
// puts the previous one back afterwards. Tests skip when the machine has no such locale:
// scripts/install-packages.sh generates de_DE.UTF-8.

#include <clocale>
#include <cstring>
#include <string>

namespace shakemeter::testing {

class ScopedCommaLocale {
public:
    ScopedCommaLocale()
    {
        if (const char* old = std::setlocale(LC_NUMERIC, nullptr))
            m_old = old;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                                 "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                m_active = true;
                return;
            }
        }
        std::setlocale(LC_NUMERIC, m_old.c_str());
    }
    ~ScopedCommaLocale() { std::setlocale(LC_NUMERIC, m_old.c_str()); }
    ScopedCommaLocale(const ScopedCommaLocale&) = delete;
    ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

    // False when no locale with a decimal comma is installed.
    bool active() const { return m_active; }

    static constexpr const char* kMissing =
        "no locale with a decimal comma is installed (scripts/install-packages.sh generates de_DE.UTF-8)";

private:
    std::string m_old = "C";
    bool m_active = false;
};

}  // namespace shakemeter::testing
