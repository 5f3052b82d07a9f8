// Resource numbers that the code and the registration script share.
#pragma once

#define IDR_TIDEWELL_REGISTRY 101
#define IDR_TIDEWELL_TYPELIB 1
#define IDR_TIDEWELL_MANIFEST 2
#define IDI_BUTTON 801
#define IDI_BUTTON_HOT 802
