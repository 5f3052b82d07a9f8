// The per-user options key: where it lives, how each of its values is read
// with its default, and how the two writers open or create it. Every reader
// opens the key, reads and closes it again; nothing is cached here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

extern const char kSettingsPathOld[];        // "Software\RaRidezaz\Tidewell"
extern const char kSettingsCreatePathOld[];  // "SOFTWARE\RaRidezaz\Tidewell"
extern const char kSettingsPathNew[];        // under "Software\AppDataLow"

extern const char kValueDisableConfirmation[];
extern const char kValueDateTemplate[];
extern const char kValueSeparator[];
extern const char kValueLastSearch[];
extern const char kValueWhole[];
extern const char kValueCase[];
extern const char kValueNames[];
extern const char kValueValues[];
extern const char kValueCookiesToKeep[];

// Largest readable sizes of the string values, terminator included.
const std::uint32_t kDateTemplateSize = 32;
const std::uint32_t kSeparatorSize = 8;
const std::uint32_t kLastSearchSize = 260;
// The most names the list of sites whose cookies are kept holds, and the
// longest name.
const std::size_t kKeptSitesMost = 1000;
const std::size_t kKeptSiteLengthMost = 255;

// Systems of major version 6 or later keep the key under AppDataLow, where
// the browser's protected mode may write.
bool IsNewSystem(bool versionKnown, int majorVersion);

struct SettingsPaths {
    const char* open;
    const char* create;
};
SettingsPaths ChooseSettingsPaths(bool newSystem);

// Opens the key for reading (with full access, as the writers do).
bool OpenSettings(Registry& registry, bool newSystem, RegKey& key);
// Opens the key, or creates it on the creation path when it is absent.
bool OpenOrCreateSettings(Registry& registry, bool newSystem, RegKey& key);

// A DWORD value, or false with *value 0 when it cannot be read as 4 bytes.
bool ReadDword(RegKey& key, const char* name, std::uint32_t* value);
// A string value that fits in size bytes with its terminator. The stored
// bytes need not be terminated and need not be of string type: the text
// ends at the first zero byte or at the end of the data, whichever comes
// first, and is refused when it has size characters or more.
bool ReadString(RegKey& key, const char* name, std::uint32_t size, std::string* value);
// Writers store strings with their terminator. Their results are not
// examined by any caller, so they answer nothing.
void WriteDword(RegKey& key, const char* name, std::uint32_t value);
void WriteString(RegKey& key, const char* name, const std::string& value);

// What the band window keeps of the options between two loads.
struct BandSettings {
    bool confirmDeletions = true;
    std::string dateTemplate;  // the stored template with the stored separator
};
BandSettings LoadBandSettings(Registry& registry, bool newSystem);

// A cleanup dialog's confirm flag: true (ask) unless DisableConfirmation
// reads as nonzero.
bool ReadConfirmDeletions(Registry& registry, bool newSystem);

// The Find dialog's saved state; a value that cannot be read leaves its
// field as the caller set it.
struct FindSettings {
    bool whole = false;
    bool matchCase = false;
    bool names = false;
    bool values = false;
    std::string lastSearch;
};
void LoadFindSettings(Registry& registry, bool newSystem, FindSettings* settings);
// False when the key could neither be opened nor created; nothing is written then.
bool SaveFindSettings(Registry& registry, bool newSystem, const FindSettings& settings);

// The names of "CookiesToKeep" (REG_MULTI_SZ), as stored. An absent key or
// value is an empty list. False, with no names, when the value is there but
// cannot be read: another type, more data than the list's limits allow, a
// name over kKeptSiteLengthMost, more than kKeptSitesMost names, a name
// after the list's end, data that does not end in a zero, or a key that
// exists but will not open.
bool ReadCookiesToKeep(Registry& registry, bool newSystem, std::vector<std::string>* names);
// False when the key could neither be opened nor created; nothing is written then.
bool SaveCookiesToKeep(Registry& registry, bool newSystem, const std::vector<std::string>& names);

}  // namespace tw
