// The band window's decisions, apart from its window: which list is
// current, the status line, the layout, the background, and the command
// table of the menu bar.
#pragma once

#include <cstdint>
#include <string>

#include "core/entry.h"
#include "ui/colour_math.h"
#include "ui/dpi_scale.h"

namespace tw {

const int kTabStripId = 778;
extern const char* const kTabTitles[3];  // " History ", " Cookies ", " Cache "

// Notification codes the band window answers.
const int kTcnSelChange = -551;
const int kTcnSelChanging = -552;
const int kTbnDropDown = -710;

// The list of a tab: 1 Cookies, 2 Cache, anything else (-1 included) History.
EntryKind ListOfTab(int tab);
// Whether a tab switch to this tab shows anything: only 0, 1 and 2 do.
bool IsTab(int tab);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The right margin that keeps the band clear of the browser frame's edge.
// Nothing is clamped: a band close to the frame's edge gets a negative one.
int RightMargin(bool hasBrowser, int bandLeft, int browserLeft, const BandMetrics& metrics = BandMetrics());

struct BandLayout {
    Rect menuBar;
    Rect lists;  // all three lists, shown or not
    Rect tabStrip;
};
BandLayout LayOutBand(int width, int height, int margin, const BandMetrics& metrics = BandMetrics());

// The 3D face colour lightened by 1.07, each component truncated and capped at 255.
Rgb BandBackground(Rgb face);

// What a menu command runs.
enum class Command {
    Refresh,
    SaveHistory,
    SaveCookies,
    SaveCache,
    OpenIndexFile,
    SearchIndexFiles,
    OpenHistoryIndex,
    OpenCookiesIndex,
    OpenCacheIndex,
    CleanHistory,
    CleanCookies,
    CleanCache,
    CleanIndexFiles,
    ClearTypedUrls,
    ClearRecentDocuments,
    ClearRunHistory,
    SelectAll,
    FindOnTab,
    Options,
    Help,
    OnlineHelp,
    WebPage,
    About,
};

struct CommandEntry {
    std::uint16_t id;
    Command command;
    int image;  // position in the command image strip
};

// The table in menu order; the image strip holds the commands in the same order.
extern const CommandEntry kCommands[23];

// The command of a WM_COMMAND: the low 16 bits alone decide, so a control
// notification with a command's id runs that command too. Null when the id
// is not in the table.
const CommandEntry* FindCommand(std::uintptr_t wParam);

}  // namespace tw
