#pragma once

#include <gtest/gtest.h>
#include <optional>
#include <string>

// The step a longer case is at. ETAPE("...") names it: a failure after it says which step it
// failed in (as SCOPED_TRACE does), and the next ETAPE replaces it rather than adding to it, so
// that a failure names one step, the one it belongs to. The step ends with the case.
namespace etapes {

inline std::optional<::testing::ScopedTrace>& courante() {
    static thread_local std::optional<::testing::ScopedTrace> trace;
    return trace;
}

inline void commencer(const char* fichier, int ligne, const std::string& quoi) {
    courante().reset();
    courante().emplace(fichier, ligne, quoi);
}

// Ends the step of the case that just ran; registered by the test main.
class FinDeCas : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { courante().reset(); }
};

} // namespace etapes

#define ETAPE(quoi) ::etapes::commencer(__FILE__, __LINE__, quoi)
