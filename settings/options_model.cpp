#include "settings/options_model.h"

#include <cctype>

#include "settings/settings_store.h"

namespace tw {

namespace {

const int kTemplateCount = int(sizeof kDateTemplates / sizeof kDateTemplates[0]);
const int kSeparatorCount = int(sizeof kDateSeparators / sizeof kDateSeparators[0]);

bool EqualNoCase(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return a[i] == '\0' && i == b.size();
}

int Clamp(int index, int count) {
    return index >= 0 && index < count ? index : 0;
}

}  // namespace

int FindListEntry(const char* const* list, int count, const std::string& text) {
    for (int i = 0; i < count; ++i) {
        if (EqualNoCase(list[i], text))
            return i;
    }
    return -1;
}

OptionsState LoadOptions(Registry& registry, bool newSystem) {
    OptionsState state;
    RegKey key(registry);
    if (!OpenSettings(registry, newSystem, key))
        return state;
    std::string text;
    if (ReadString(key, kValueDateTemplate, kDateTemplateSize, &text)) {
        const int i = FindListEntry(kDateTemplates, kTemplateCount, text);
        if (i >= 0)
            state.templateIndex = i;
    }
    if (ReadString(key, kValueSeparator, kSeparatorSize, &text)) {
        const int i = FindListEntry(kDateSeparators, kSeparatorCount, text);
        if (i >= 0)
            state.separatorIndex = i;
    }
    std::uint32_t disable = 0;
    state.disableConfirmation = ReadDword(key, kValueDisableConfirmation, &disable) && disable != 0;
    return state;
}

bool SaveOptions(Registry& registry, bool newSystem, const OptionsState& state) {
    RegKey key(registry);
    if (!OpenOrCreateSettings(registry, newSystem, key))
        return false;
    WriteDword(key, kValueDisableConfirmation, state.disableConfirmation ? 1 : 0);
    WriteString(key, kValueDateTemplate, kDateTemplates[Clamp(state.templateIndex, kTemplateCount)]);
    WriteString(key, kValueSeparator, kDateSeparators[Clamp(state.separatorIndex, kSeparatorCount)]);
    return true;
}

std::string OptionsSample(const OptionsState& state, const CivilDate& today) {
    return FormatDateSample(kDateTemplates[Clamp(state.templateIndex, kTemplateCount)],
                            kDateSeparators[Clamp(state.separatorIndex, kSeparatorCount)], today);
}

}  // namespace tw
