#include "ui/band_window_model.h"

#include <cstdlib>

#include "res/resource.h"

namespace tw {

const char* const kTabTitles[3] = {" History ", " Cookies ", " Cache "};

const CommandEntry kCommands[23] = {
    {ID_REFRESH, Command::Refresh, 0},
    {ID_SAVE_HISTORY, Command::SaveHistory, 1},
    {ID_SAVE_COOKIES, Command::SaveCookies, 2},
    {ID_SAVE_CACHE, Command::SaveCache, 3},
    {ID_OPEN_INDEX_FILE, Command::OpenIndexFile, 4},
    {ID_SEARCH_INDEX_FILES, Command::SearchIndexFiles, 5},
    {ID_OPEN_HISTORY_INDEX, Command::OpenHistoryIndex, 6},
    {ID_OPEN_COOKIES_INDEX, Command::OpenCookiesIndex, 7},
    {ID_OPEN_CACHE_INDEX, Command::OpenCacheIndex, 8},
    {ID_CLEAN_HISTORY, Command::CleanHistory, 9},
    {ID_CLEAN_COOKIES, Command::CleanCookies, 10},
    {ID_CLEAN_CACHE, Command::CleanCache, 11},
    {ID_CLEAN_INDEX_FILES, Command::CleanIndexFiles, 12},
    {ID_CLEAR_TYPED_URLS, Command::ClearTypedUrls, 13},
    {ID_CLEAR_RECENT_DOCUMENTS, Command::ClearRecentDocuments, 14},
    {ID_CLEAR_RUN_HISTORY, Command::ClearRunHistory, 15},
    {ID_SELECT_ALL, Command::SelectAll, 16},
    {ID_FIND_ON_TAB, Command::FindOnTab, 17},
    {ID_OPTIONS, Command::Options, 18},
    {ID_HELP_CONTENTS, Command::Help, 19},
    {ID_ONLINE_HELP, Command::OnlineHelp, 20},
    {ID_WEB_PAGE, Command::WebPage, 21},
    {ID_ABOUT, Command::About, 22},
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

int RightMargin(bool hasBrowser, int bandLeft, int browserLeft, const BandMetrics& m) {
    if (!hasBrowser)
        return 0;
    int margin = std::abs(browserLeft - bandLeft) - m.marginSlack;
    if (margin > m.marginLimit)
        margin = 0;
    return margin;
}

BandLayout LayOutBand(int width, int height, int margin, const BandMetrics& m) {
    BandLayout l;
    l.menuBar = {0, 0, width - margin - m.tabStripWidth, m.menuBarHeight};
    l.lists = {0, m.listTop, width - margin, height - m.listTop};
    l.tabStrip = {width - margin - m.tabStripWidth, 0, m.tabStripWidth, m.tabStripHeight};
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
