#include "ui/about_model.h"

namespace tw {

const char kAboutName[] = "Tidewell Bar  v.2.1 (15.0207)";
const char kAboutNotice[] = "Copyright (C) 2026 the Tidewell developers";
const char kAboutHomePage[] = "https://www.tidewell.invalid/";
const char kAboutSupportAddress[] = "support@tidewell.invalid";
const char kAboutPromotion[] =
    "Tidewell Dump reads index.dat files on any machine and writes their rows as text, CSV, JSON or an HTML "
    "report.";
const char kAboutInvitation[] = "Download Tidewell Dump";
const char kAboutDownloadPage[] = "https://www.tidewell.invalid/dump/";

namespace {

// Leading white space, then decimal digits up to the first other character.
int Number(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 255)
            value = 255;
    }
    return int(value);
}

}  // namespace

bool ParseAnchorColour(const std::string& text, Rgb* colour) {
    const std::size_t first = text.find(',');
    if (first == std::string::npos)
        return false;
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string::npos || second + 1 >= text.size())
        return false;
    *colour = {Number(text.substr(0, first)), Number(text.substr(first + 1, second - first - 1)),
               Number(text.substr(second + 1))};
    return true;
}

std::string SupportMailLink(const std::string& address) {
    return "mailto:" + address + "?subject=Message%20from%20Tidewell%20application";
}

int BannerHeight(int dialogWidth, int bannerWidth, int bannerHeight) {
    if (bannerWidth <= 0)
        return bannerHeight;
    return int(double(dialogWidth) / double(bannerWidth) * double(bannerHeight));
}

}  // namespace tw
