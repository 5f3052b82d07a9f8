#include "settings/settings_store.h"

#include <cstring>

#include "platform/win_errors.h"
#include "settings/date_format.h"

namespace tw {

const char kSettingsPathOld[] = "Software\\RaRidezaz\\Tidewell";
const char kSettingsCreatePathOld[] = "SOFTWARE\\RaRidezaz\\Tidewell";
const char kSettingsPathNew[] = "Software\\AppDataLow\\Software\\RaRidezaz\\Tidewell";

const char kValueDisableConfirmation[] = "DisableConfirmation";
const char kValueDateTemplate[] = "DateTemplate";
const char kValueSeparator[] = "Separator";
const char kValueLastSearch[] = "LastSearch";
const char kValueWhole[] = "Whole";
const char kValueCase[] = "Case";
const char kValueNames[] = "Names";
const char kValueValues[] = "Values";
const char kValueCookiesToKeep[] = "CookiesToKeep";

bool IsNewSystem(bool versionKnown, int majorVersion) {
    return versionKnown && majorVersion >= 6;
}

SettingsPaths ChooseSettingsPaths(bool newSystem) {
    if (newSystem)
        return {kSettingsPathNew, kSettingsPathNew};
    return {kSettingsPathOld, kSettingsCreatePathOld};
}

bool OpenSettings(Registry& registry, bool newSystem, RegKey& key) {
    return key.Open(RegRoot::CurrentUser, ChooseSettingsPaths(newSystem).open, true) == kErrorSuccess;
}

bool OpenOrCreateSettings(Registry& registry, bool newSystem, RegKey& key) {
    const SettingsPaths paths = ChooseSettingsPaths(newSystem);
    if (key.Open(RegRoot::CurrentUser, paths.open, true) == kErrorSuccess)
        return true;
    if (key.Create(RegRoot::CurrentUser, paths.create) == kErrorSuccess)
        return true;
    key.Reset();
    return false;
}

bool ReadDword(RegKey& key, const char* name, std::uint32_t* value) {
    *value = 0;
    if (!key.IsOpen())
        return false;
    std::uint32_t data = 0, type = 0, size = sizeof data;
    if (key.Owner().Query(key.Get(), name, &type, &data, &size) != kErrorSuccess)
        return false;
    *value = data;
    return true;
}

bool ReadString(RegKey& key, const char* name, std::uint32_t size, std::string* value) {
    if (!key.IsOpen() || size == 0)
        return false;
    char buffer[kLastSearchSize] = {};
    if (size > sizeof buffer)
        size = sizeof buffer;
    std::uint32_t type = 0, got = size;
    if (key.Owner().Query(key.Get(), name, &type, buffer, &got) != kErrorSuccess || got > size)
        return false;
    const void* end = std::memchr(buffer, 0, got);
    const std::size_t length = end ? std::size_t(static_cast<const char*>(end) - buffer) : got;
    // Unterminated data that fills the whole buffer is one character too
    // long for the value's limit.
    if (length >= size)
        return false;
    value->assign(buffer, length);
    return true;
}

void WriteDword(RegKey& key, const char* name, std::uint32_t value) {
    if (key.IsOpen())
        key.Owner().Set(key.Get(), name, kRegDword, &value, sizeof value);
}

void WriteString(RegKey& key, const char* name, const std::string& value) {
    if (key.IsOpen())
        key.Owner().Set(key.Get(), name, kRegSz, value.c_str(), std::uint32_t(value.size() + 1));
}

BandSettings LoadBandSettings(Registry& registry, bool newSystem) {
    BandSettings settings;
    settings.dateTemplate = kDefaultDateTemplate;
    RegKey key(registry);
    if (!OpenSettings(registry, newSystem, key))
        return settings;
    std::string text;
    if (ReadString(key, kValueDateTemplate, kDateTemplateSize, &text))
        settings.dateTemplate = text;
    if (ReadString(key, kValueSeparator, kSeparatorSize, &text))
        settings.dateTemplate = LoadedDateTemplate(settings.dateTemplate, text);
    std::uint32_t disable = 0;
    if (ReadDword(key, kValueDisableConfirmation, &disable))
        settings.confirmDeletions = disable == 0;
    return settings;
}

bool ReadConfirmDeletions(Registry& registry, bool newSystem) {
    RegKey key(registry);
    std::uint32_t disable = 0;
    if (OpenSettings(registry, newSystem, key) && ReadDword(key, kValueDisableConfirmation, &disable))
        return disable == 0;
    return true;
}

void LoadFindSettings(Registry& registry, bool newSystem, FindSettings* settings) {
    RegKey key(registry);
    if (!OpenSettings(registry, newSystem, key))
        return;
    struct Box {
        const char* name;
        bool* state;
    };
    const Box boxes[] = {{kValueWhole, &settings->whole},
                         {kValueCase, &settings->matchCase},
                         {kValueNames, &settings->names},
                         {kValueValues, &settings->values}};
    for (const Box& box : boxes) {
        std::uint32_t v = 0;
        if (ReadDword(key, box.name, &v))
            *box.state = v != 0;
    }
    std::string text;
    if (ReadString(key, kValueLastSearch, kLastSearchSize, &text))
        settings->lastSearch = text;
}

bool SaveFindSettings(Registry& registry, bool newSystem, const FindSettings& settings) {
    RegKey key(registry);
    if (!OpenOrCreateSettings(registry, newSystem, key))
        return false;
    WriteDword(key, kValueWhole, settings.whole ? 1 : 0);
    WriteDword(key, kValueCase, settings.matchCase ? 1 : 0);
    WriteDword(key, kValueNames, settings.names ? 1 : 0);
    WriteDword(key, kValueValues, settings.values ? 1 : 0);
    WriteString(key, kValueLastSearch, settings.lastSearch);
    return true;
}

namespace {

// Every name with its zero, and the zero that ends the list.
const std::uint32_t kKeptSitesBytesMost = std::uint32_t(kKeptSitesMost * (kKeptSiteLengthMost + 1) + 1);

// A list written by hand may end without its closing zero after the last
// name, or carry zeros beyond it; anything else that is not a list of
// names is refused, never guessed at.
bool ParseKeptSites(const char* data, std::size_t size, std::vector<std::string>* names) {
    if (size == 0)
        return true;
    if (data[size - 1] != '\0')
        return false;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::strlen(data + at);
        if (length == 0) {
            for (std::size_t i = at; i < size; ++i) {
                if (data[i] != '\0')
                    return false;
            }
            return true;
        }
        if (length > kKeptSiteLengthMost || names->size() == kKeptSitesMost)
            return false;
        names->emplace_back(data + at, length);
        at += length + 1;
    }
    return true;
}

}  // namespace

bool ReadCookiesToKeep(Registry& registry, bool newSystem, std::vector<std::string>* names) {
    names->clear();
    RegKey key(registry);
    // Only read: a key the user may not write must still give its list, or
    // no cookie could ever be deleted.
    const long opened = key.Open(RegRoot::CurrentUser, ChooseSettingsPaths(newSystem).open, false);
    if (opened == kErrorFileNotFound)
        return true;
    if (opened != kErrorSuccess)
        return false;
    std::vector<char> data(kKeptSitesBytesMost);
    std::uint32_t type = 0, size = kKeptSitesBytesMost;
    const long queried = key.Owner().Query(key.Get(), kValueCookiesToKeep, &type, data.data(), &size);
    if (queried == kErrorFileNotFound)
        return true;
    if (queried != kErrorSuccess || type != kRegMultiSz || size > kKeptSitesBytesMost ||
        !ParseKeptSites(data.data(), size, names)) {
        names->clear();
        return false;
    }
    return true;
}

bool SaveCookiesToKeep(Registry& registry, bool newSystem, const std::vector<std::string>& names) {
    RegKey key(registry);
    if (!OpenOrCreateSettings(registry, newSystem, key))
        return false;
    std::string data;
    for (const std::string& name : names)
        data.append(name).push_back('\0');
    data.push_back('\0');
    return key.Owner().Set(key.Get(), kValueCookiesToKeep, kRegMultiSz, data.data(), std::uint32_t(data.size())) ==
           kErrorSuccess;
}

}  // namespace tw
