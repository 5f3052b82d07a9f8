#include "ui/band_window_model.h"

#include <cstdlib>

namespace tw {

const char* const kTabTitles[3] = {" History ", " Cookies ", " Cache "};

const CommandEntry kCommands[23] = {
    {32768, Command::Refresh, 0},          {32779, Command::SaveHistory, 1},
    {32780, Command::SaveCookies, 2},      {32804, Command::SaveCache, 3},
    {32777, Command::OpenIndexFile, 4},    {32807, Command::SearchIndexFiles, 5},
    {32802, Command::OpenHistoryIndex, 6}, {32778, Command::OpenCookiesIndex, 7},
    {32803, Command::OpenCacheIndex, 8},   {32771, Command::CleanHistory, 9},
    {32781, Command::CleanCookies, 10},    {32783, Command::CleanCache, 11},
    {32786, Command::CleanIndexFiles, 12}, {32784, Command::ClearTypedUrls, 13},
    {32785, Command::ClearRecentDocuments, 14}, {32806, Command::ClearRunHistory, 15},
    {32805, Command::SelectAll, 16},       {32776, Command::FindOnTab, 17},
    {32772, Command::Options, 18},         {32789, Command::Help, 19},
    {32787, Command::OnlineHelp, 20},      {40013, Command::WebPage, 21},
    {32769, Command::About, 22},
};

EntryKind ListOfTab(int tab) {
    switch (tab) {
    case 1: return EntryKind::Cookie;
    case 2: return EntryKind::Cache;
    default: return EntryKind::History;
    }
}

bool IsTab(int tab) {
    return tab >= 0 && tab <= 2;
}

int RightMargin(bool hasBrowser, int bandLeft, int browserLeft) {
    if (!hasBrowser)
        return 0;
    int margin = std::abs(browserLeft - bandLeft) - 30;
    if (margin > 20)
        margin = 0;
    return margin;
}

BandLayout LayOutBand(int width, int height, int margin) {
    BandLayout l;
    l.menuBar = {0, 0, width - margin - 210, 21};
    l.lists = {0, 25, width - margin, height - 25};
    l.tabStrip = {width - margin - 210, 0, 210, 22};
    return l;
}

Rgb BandBackground(Rgb face) {
    auto lighten = [](int c) {
        const int v = int(double(c) * 1.07);
        return v > 255 ? 255 : v;
    };
    return {lighten(face.r), lighten(face.g), lighten(face.b)};
}

const CommandEntry* FindCommand(std::uintptr_t wParam) {
    const std::uint16_t id = std::uint16_t(wParam & 0xffff);
    for (const CommandEntry& c : kCommands) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

}  // namespace tw
