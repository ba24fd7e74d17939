#pragma once
// The Settings marks that the exchange and merging rules follow, read by the
// optimizer once per pass (and again after a step dialog) instead of per pair.

#include "platform/presentation.h"

struct RuleSettings {
    bool optimize = true;    // "Perform an optimization": gates with controls take part
    bool selfCheck = false;  // "Check after each stage of decomposition": compare full matrices
};

inline RuleSettings readRuleSettings(const Presentation& ui)
{
    return {ui.isChecked(Setting::roboptim), ui.isChecked(Setting::Kontrolptimkrok1)};
}
