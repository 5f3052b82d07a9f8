// What the three cleanup dialogs decide apart from their windows: which
// option stands for which kind of cleanup, which text travels with it, the
// question asked first, and the day bounds of "Between the dates".
#pragma once

#include <cstdint>
#include <string>

#include "clean/cleanup.h"
#include "settings/date_format.h"

namespace tw {

struct CleanupOption {
    int id;
    std::int32_t kind;
};

struct CleanupDialogInfo {
    std::int32_t store;
    int dialogId;
    const CleanupOption* options;  // in the order in which the first checked one wins
    int optionCount;
    const char* confirmation;
    int comboId;  // 0 when the dialog has no protocol combo box
    int textId;
    int fromId;
    int toId;
};

// The dialog of store 1 (History), 2 (Cookies) or 3 (Cache); null otherwise.
const CleanupDialogInfo* CleanupDialogFor(std::int32_t store);

// The protocols the History dialog offers, "file:" first.
extern const char* const kCleanupProtocols[6];

// The kind of the first option for which checked(id) holds; 0 when none.
template <typename Checked>
std::int32_t CleanupKindOf(const CleanupDialogInfo& info, Checked checked) {
    for (int i = 0; i < info.optionCount; ++i) {
        if (checked(info.options[i].id))
            return info.options[i].kind;
    }
    return kCleanNothing;
}

// The text that travels with a cleanup, as typed: the History dialog's
// combo (at most 31 characters) for a protocol, its box (at most 99) for
// text in the URL, else nothing; the Cookies and Cache dialogs always
// their box, at most 98.
std::string CleanupTextOf(std::int32_t store, std::int32_t kind, const std::string& comboText,
                          const std::string& boxText);

// The first and the last instant of a calendar day, in the same scale as
// the entries' times; false for a date the calendar cannot hold.
bool DayStart(const CivilDate& date, FileTime* time);
bool DayEnd(const CivilDate& date, FileTime* time);

// What a date picker yields: a day, or nothing when it could not be read.
struct PickedDay {
    bool valid = false;
    CivilDate date;
};

// The record a Clean Up sends. The bounds cover the whole of the days
// picked, whatever time of day the pickers carry; a picker that cannot be
// read leaves its bound at now.
CleanupCriteria BuildCleanupCriteria(const CleanupDialogInfo& info, std::int32_t kind, const std::string& comboText,
                                     const std::string& boxText, const PickedDay& from, const PickedDay& to,
                                     FileTime now);

}  // namespace tw
