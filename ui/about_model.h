// The About dialog's texts and arithmetic: link colours from the browser's
// settings, the banner's scaling and the support mail link.
#pragma once

#include <string>

#include "ui/band_window_model.h"

namespace tw {

extern const char kAboutName[];        // "Tidewell Bar  v.2.1 (15.0207)"
extern const char kAboutNotice[];
extern const char kAboutHomePage[];
extern const char kAboutSupportAddress[];
extern const char kAboutPromotion[];
extern const char kAboutInvitation[];
extern const char kAboutDownloadPage[];

const Rgb kLinkColour = {0, 0, 255};
const Rgb kVisitedLinkColour = {128, 0, 128};

// "r,g,b" as the browser stores "Anchor Color": false, leaving *colour
// alone, for fewer than two commas or nothing after the second. Numbers
// above 255 are taken as 255.
bool ParseAnchorColour(const std::string& text, Rgb* colour);

// The mail link of the support address.
std::string SupportMailLink(const std::string& address);

// The banner's height at the dialog's width, truncated.
int BannerHeight(int dialogWidth, int bannerWidth, int bannerHeight);

}  // namespace tw
