// Every identifier this module owns, fixed once. The build reads the texts
// below to write the registration script and the type library source, so a
// GUID is spelled here and nowhere else.
#pragma once

// The band's class and its dual interface.
#define TW_CLSID_ExplorerBar "{4DA13818-16F3-423C-86D5-C08BFE739235}"
#define TW_IID_IExplorerBar "{F730ED04-DBF4-4F33-80DB-87426BA09334}"
// The type library TIDEWELLLib.
#define TW_LIBID_TidewellLib "{CF200ACF-6CA8-4BF6-BBB5-A48F6C77772B}"
// Described by the type library only; the module serves no such object.
#define TW_CLSID_StartButton "{C8162BD4-7F0B-40EA-A1B1-D3959B8C752A}"
#define TW_IID_IStartButton "{9CF914F3-F6AC-420A-B0FB-00EF61446DA9}"
// The browser toolbar button that opens the band.
#define TW_GUID_ButtonExtension "{CF27F25D-2A4B-434A-9B43-2E92D39F8633}"
// The elevation policy that lets the browser's low tab process start the
// broker, tidewell-clean's windowless form, silently at medium integrity.
#define TW_GUID_BrokerPolicy "{BDE2FD12-2FB9-4DAC-AA3A-97F7BCFE5A73}"
// The broker's file name, beside the module.
#define TW_BROKER_FILE "tidewell-cleanw.exe"
// A class key that unregistration removes when it has no subkeys; this
// module never writes it.
#define TW_CLSID_Retired "{245AC980-DE75-4FE9-8FC0-6BA5F2DAA355}"

// Public identifiers of the browser and the system.
#define TW_CATID_DeskBand "{00021492-0000-0000-C000-000000000046}"
#define TW_CATID_InfoBand "{00021493-0000-0000-C000-000000000046}"
#define TW_CATID_CommBand "{00021494-0000-0000-C000-000000000046}"
#define TW_CLSID_BandButtonHandler "{E0DD6CAB-2D10-11D2-8F1A-0000F87ABD16}"
