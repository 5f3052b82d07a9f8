// What the Options dialog shows and stores, apart from its window: the two
// lists with their selections, the confirmation box and the date sample.
#pragma once

#include <string>

#include "platform/registry.h"
#include "settings/date_format.h"

namespace tw {

struct OptionsState {
    int templateIndex = 0;   // into kDateTemplates
    int separatorIndex = 0;  // into kDateSeparators
    bool disableConfirmation = false;
};

// The dialog at opening: first entries selected, then whatever stored
// template and separator match a list entry (without regard to case), and
// the box checked when DisableConfirmation reads as nonzero.
OptionsState LoadOptions(Registry& registry, bool newSystem);

// OK: writes DisableConfirmation, DateTemplate and Separator in that order.
// False when the key could neither be opened nor created; the dialog closes
// with OK either way.
bool SaveOptions(Registry& registry, bool newSystem, const OptionsState& state);

// The sample line for a state on a given (UTC) day.
std::string OptionsSample(const OptionsState& state, const CivilDate& today);

// The index of text in a list, compared without regard to case; -1 when absent.
int FindListEntry(const char* const* list, int count, const std::string& text);

}  // namespace tw
