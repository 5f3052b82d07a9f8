// The module's identifiers as GUID values, made from the texts of
// band/guids.h at compile time.
#pragma once

#include <windows.h>

#include "band/guid_text.h"
#include "band/guids.h"

namespace tw {

constexpr GUID ToGuid(const GuidFields& f) {
    return GUID{f.data1, f.data2, f.data3,
                {f.data4[0], f.data4[1], f.data4[2], f.data4[3], f.data4[4], f.data4[5], f.data4[6], f.data4[7]}};
}

#define TW_DEFINE_GUID(name, text)                                              \
    static_assert(ParseGuidText(text).valid, "malformed identifier " #name); \
    constexpr GUID name = ToGuid(ParseGuidText(text))

TW_DEFINE_GUID(kClsidExplorerBar, TW_CLSID_ExplorerBar);
TW_DEFINE_GUID(kIidIExplorerBar, TW_IID_IExplorerBar);
TW_DEFINE_GUID(kLibidTidewell, TW_LIBID_TidewellLib);
TW_DEFINE_GUID(kClsidStartButton, TW_CLSID_StartButton);
TW_DEFINE_GUID(kIidIStartButton, TW_IID_IStartButton);
TW_DEFINE_GUID(kGuidButtonExtension, TW_GUID_ButtonExtension);
TW_DEFINE_GUID(kClsidRetired, TW_CLSID_Retired);
TW_DEFINE_GUID(kCatidDeskBand, TW_CATID_DeskBand);
TW_DEFINE_GUID(kCatidInfoBand, TW_CATID_InfoBand);
TW_DEFINE_GUID(kCatidCommBand, TW_CATID_CommBand);
TW_DEFINE_GUID(kClsidBandButtonHandler, TW_CLSID_BandButtonHandler);

// The system's registrar and component category manager.
TW_DEFINE_GUID(kClsidRegistrar, "{44EC053A-400F-11D0-9DCD-00A0C90391D3}");
TW_DEFINE_GUID(kIidIRegistrar, "{44EC053B-400F-11D0-9DCD-00A0C90391D3}");
TW_DEFINE_GUID(kClsidStdComponentCategoriesMgr, "{0002E005-0000-0000-C000-000000000046}");
TW_DEFINE_GUID(kIidICatRegister, "{0002E012-0000-0000-C000-000000000046}");

#undef TW_DEFINE_GUID

}  // namespace tw
