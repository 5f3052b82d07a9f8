#include "tools/bitmaps/images.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>

namespace tw::bitmaps {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Palette.
constexpr Colour kInk{64, 64, 64};
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kLight{212, 212, 212};
constexpr Colour kGrey{160, 160, 160};
constexpr Colour kDark{110, 110, 110};
constexpr Colour kRed{220, 40, 30};
constexpr Colour kDarkRed{140, 20, 15};
constexpr Colour kYellow{250, 215, 70};
constexpr Colour kGold{205, 150, 20};
constexpr Colour kBlue{50, 110, 215};
constexpr Colour kNavy{20, 45, 130};
constexpr Colour kSky{165, 205, 245};
constexpr Colour kGreen{40, 165, 55};
constexpr Colour kDarkGreen{20, 100, 30};
constexpr Colour kTan{215, 165, 95};
constexpr Colour kBrown{140, 85, 35};
constexpr Colour kChoc{85, 45, 15};
constexpr Colour kPink{245, 150, 170};
constexpr Colour kOrange{245, 140, 30};

// One cell of a strip, drawn on a grid of 16 x 16 whatever its size: a
// larger cell gives each grid pixel a block of its own pixels, and draws
// shapes at its own resolution. Drawing outside the cell is clipped.
class Cell {
public:
    Cell(Image& image, int index, int size) : image_(image), x0_(index * size), size_(size) {}
    int Size() const { return size_; }
    // Grid units of one of the cell's own pixels.
    double Unit() const { return double(kCell) / size_; }
    // A grid pixel: the block of the cell's pixels it covers.
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= kCell || y >= kCell)
            return;
        for (int py = y * size_ / kCell; py < (y + 1) * size_ / kCell; ++py)
            for (int px = x * size_ / kCell; px < (x + 1) * size_ / kCell; ++px)
                SetPixel(px, py, c);
    }
    // One of the cell's own pixels.
    void SetPixel(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < size_ && y < size_)
            image_.Set(x0_ + x, y, c);
    }

private:
    Image& image_;
    int x0_;
    int size_;
};

using Inside = std::function<bool(double, double)>;

// Fills the pixels whose centre is inside, with an edge where a point one
// grid pixel away is not: the edge keeps its share of a larger cell.
void Shape(Cell& c, const Inside& inside, Colour fill, Colour edge) {
    const double unit = c.Unit();
    for (int y = 0; y < c.Size(); ++y)
        for (int x = 0; x < c.Size(); ++x) {
            const double px = (x + 0.5) * unit, py = (y + 0.5) * unit;
            if (!inside(px, py))
                continue;
            const bool border = !inside(px - 1, py) || !inside(px + 1, py) || !inside(px, py - 1) || !inside(px, py + 1);
            c.SetPixel(x, y, border ? edge : fill);
        }
}

void Fill(Cell& c, const Inside& inside, Colour fill) { Shape(c, inside, fill, fill); }

Inside Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside Polygon(std::vector<std::pair<double, double>> points) {
    return [points = std::move(points)](double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    };
}

// A segment of the given width.
Inside Stroke(double x0, double y0, double x1, double y1, double width) {
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        const double ex = x0 + t * dx - x, ey = y0 + t * dy - y;
        return ex * ex + ey * ey <= width * width / 4;
    };
}

void Rect(Cell& c, int x0, int y0, int x1, int y1, Colour colour) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            c.Set(x, y, colour);
}

void Frame(Cell& c, int x0, int y0, int x1, int y1, Colour colour) {
    for (int x = x0; x <= x1; ++x) {
        c.Set(x, y0, colour);
        c.Set(x, y1, colour);
    }
    for (int y = y0; y <= y1; ++y) {
        c.Set(x0, y, colour);
        c.Set(x1, y, colour);
    }
}

// Pixel art: one string a row; '.' leaves the pixel as it is.
void Art(Cell& c, int x0, int y0, std::initializer_list<const char*> rows) {
    int y = y0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x) {
            Colour colour;
            switch (row[x]) {
            case 'k': colour = kInk; break;
            case 'K': colour = kBlack; break;
            case 'w': colour = kWhite; break;
            case 'l': colour = kLight; break;
            case 'g': colour = kGrey; break;
            case 'd': colour = kDark; break;
            case 'r': colour = kRed; break;
            case 'y': colour = kYellow; break;
            case 'o': colour = kGold; break;
            case 'b': colour = kBlue; break;
            case 'B': colour = kNavy; break;
            case 's': colour = kSky; break;
            case 'e': colour = kGreen; break;
            case 'n': colour = kBrown; break;
            default: continue;
            }
            c.Set(x0 + x, y, colour);
        }
        ++y;
    }
}

// --- Pieces ---------------------------------------------------------------

// A sheet of paper with its top right corner folded, inclusive bounds.
void Page(Cell& c, int x0, int y0, int x1, int y1) {
    constexpr int fold = 3;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const int intoFold = x - (x1 - fold) - (y - y0);
            if (intoFold > 0)
                continue;  // cut away by the fold
            const bool edge = x == x0 || x == x1 || y == y0 || y == y1 || intoFold == 0;
            c.Set(x, y, edge ? kDark : kWhite);
        }
    for (int i = 0; i < fold; ++i) {
        c.Set(x1 - fold, y0 + i, kDark);
        c.Set(x1 - fold + i, y0 + fold, kDark);
        for (int j = i + 1; j < fold; ++j)
            c.Set(x1 - fold + i, y0 + j, kLight);
    }
}

void PageLines(Cell& c, int x0, int x1, int y0, int y1, Colour colour) {
    for (int y = y0; y <= y1; y += 2)
        Rect(c, x0, y, x1 - (y % 4 == 1 ? 2 : 0), y, colour);
}

void Clock(Cell& c, double cx, double cy, double r) {
    Shape(c, Disc(cx, cy, r), kWhite, kNavy);
    const int x = int(cx), y = int(cy);
    Rect(c, x, y - int(r) + 2, x, y, kBlack);
    Rect(c, x, y, x + int(r) - 2, y, kBlack);
    c.Set(x, y, kRed);
}

void Cookie(Cell& c, double cx, double cy, double r) {
    const Inside body = Disc(cx, cy, r);
    const Inside bite = Disc(cx + r * 0.75, cy - r * 0.75, r * 0.45);
    Shape(c, [&](double x, double y) { return body(x, y) && !bite(x, y); }, kTan, kBrown);
    const double chips[][2] = {{-0.45, -0.3}, {0.2, 0.1}, {-0.2, 0.5}, {0.5, 0.45}, {-0.55, 0.25}};
    for (const auto& chip : chips) {
        const int x = int(cx + chip[0] * r), y = int(cy + chip[1] * r);
        c.Set(x, y, kChoc);
        if (r > 5)
            c.Set(x + 1, y, kChoc);
    }
}

void Globe(Cell& c, double cx, double cy, double r) {
    const Inside body = Disc(cx, cy, r);
    Shape(c, body, kBlue, kNavy);
    // Two continents, then the grid over them.
    const Inside west = Disc(cx - r * 0.35, cy - r * 0.2, r * 0.42);
    const Inside east = Disc(cx + r * 0.4, cy + r * 0.35, r * 0.35);
    const Inside shrunk = Disc(cx, cy, r - 1);
    Fill(c, [&](double x, double y) { return shrunk(x, y) && (west(x, y) || east(x, y)); }, kGreen);
    const double half = r * 0.5;
    Fill(c,
         [&](double x, double y) {
             if (!shrunk(x, y))
                 return false;
             const double px = x - cx, py = y - cy;
             const double meridian = half * std::sqrt(std::max(0.0, 1 - (py * py) / (r * r)));
             return std::fabs(py) < 0.5 || std::fabs(std::fabs(px) - meridian) < 0.5;
         },
         kSky);
}

void Gear(Cell& c, double cx, double cy, double r) {
    Shape(c,
          [=](double x, double y) {
              const double dx = x - cx, dy = y - cy;
              const double d = std::sqrt(dx * dx + dy * dy);
              if (d < r * 0.28)
                  return false;
              if (d <= r * 0.64)
                  return true;
              double a = std::atan2(dy, dx) / (2 * kPi) * 8 + 0.5;  // eight teeth
              a -= std::floor(a);
              return d <= r && a > 0.25 && a < 0.75;
          },
          kGrey, kInk);
}

void Padlock(Cell& c, int x0, int y0) {  // 9 x 9
    Art(c, x0, y0,
        {"..kkkkk..",
         ".kk...kk.",
         ".k.....k.",
         "kkkkkkkkk",
         "kyyyyyyyk",
         "kyyyKyyyk",
         "kyyyKyyyk",
         "koooooook",
         "kkkkkkkkk"});
}

void Notes(Cell& c, int x0, int y0) {  // 9 x 9
    Art(c, x0, y0,
        {"..KKKKKKK",
         "..KKKKKKK",
         "..K....K.",
         "..K....K.",
         "..K....K.",
         "..K....K.",
         "KKK..KKK.",
         "KKK..KKK.",
         ".K....K.."});
}

void Magnifier(Cell& c, double cx, double cy, double r) {
    Fill(c, Stroke(cx + r * 0.7, cy + r * 0.7, cx + r * 1.55, cy + r * 1.55, r * 0.75), kBrown);
    Shape(c, Disc(cx, cy, r), kSky, kInk);
    Fill(c, Disc(cx, cy, r - 1.2), kSky);
    c.Set(int(cx - r * 0.4), int(cy - r * 0.4), kWhite);
}

void Disk(Cell& c) {
    Art(c, 0, 0,
        {".kkkkkkkkkkkkkk.",
         ".kBkwwwwwwwwkBk.",
         ".kBkwwwwwwwwkBk.",
         ".kBkwggggggwkBk.",
         ".kBkwwwwwwwwkBk.",
         ".kBkwggggggwkBk.",
         ".kBkwwwwwwwwkBk.",
         ".kBBkkkkkkkkBBk.",
         ".kBBBBBBBBBBBBk.",
         ".kBBllllllllBBk.",
         ".kBBlkklllllBBk.",
         ".kBBlkklllllBBk.",
         ".kBBlkklllllBBk.",
         ".kBBllllllllBBk.",
         ".kkkkkkkkkkkkkk.",
         "................"});
}

void OpenFolder(Cell& c) {
    Art(c, 0, 0,
        {"................",
         "................",
         ".kkkk...........",
         "kyyyyk..........",
         "kywwwykkkkkk....",
         "kywyyyyyyyyyk...",
         "kywyyyyyyyyyk...",
         "kywykkkkkkkkkkkk",
         "kywkooooooooooko",
         "kyykoooooooooook",
         "kykoooooooooook.",
         "kykooooooooooko.",
         "kkooooooooooook.",
         "kkkkkkkkkkkkkk..",
         "................",
         "................"});
}

void Broom(Cell& c) {
    Fill(c, Stroke(14.6, 1.4, 9.5, 7.5, 1.8), kBrown);
    Shape(c, Polygon({{8.5, 6.5}, {12, 10}, {8, 15.5}, {2.5, 15.5}, {2.5, 12.5}}), kYellow, kGold);
    Fill(c, Stroke(5.5, 15, 9.5, 10, 0.8), kGold);
    Fill(c, Stroke(3.5, 13.5, 8, 9, 0.8), kGold);
    Fill(c, Stroke(8.5, 7, 11.5, 10, 1.4), kRed);
}

void Eraser(Cell& c) {  // the lower right part of a cell
    Shape(c, Polygon({{9, 9}, {14, 9}, {11, 15}, {6, 15}}), kPink, kDarkRed);
    Shape(c, Polygon({{12, 9}, {16, 9}, {13, 15}, {9, 15}}), kBlue, kNavy);
}

void RedCross(Cell& c, double x0, double y0, double x1, double y1, double width) {
    Fill(c, Stroke(x0, y0, x1, y1, width + 1.2), kDarkRed);
    Fill(c, Stroke(x0, y1, x1, y0, width + 1.2), kDarkRed);
    Fill(c, Stroke(x0, y0, x1, y1, width), kRed);
    Fill(c, Stroke(x0, y1, x1, y0, width), kRed);
}

void HelpDisc(Cell& c, double cx, double cy, double r, bool question) {
    Shape(c, Disc(cx, cy, r), kBlue, kNavy);
    const int x = int(cx) - 2, y = int(cy) - 3;
    if (question)
        Art(c, x, y, {".www.", "ww.ww", "...ww", "..ww.", "..w..", ".....", "..w.."});
    else
        Art(c, x, y, {"..w..", ".....", ".ww..", "..w..", "..w..", "..w..", ".www."});
}

void RefreshArrows(Cell& c) {
    const double cx = 8, cy = 8;
    const auto arc = [=](double from, double to) {
        return [=](double x, double y) {
            const double dx = x - cx, dy = y - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            double a = std::atan2(dy, dx) * 180 / kPi;
            if (a < 0)
                a += 360;
            return d >= 3.6 && d <= 6.2 && a >= from && a <= to;
        };
    };
    const auto head = [=](double angle) {
        const double a = angle * kPi / 180, tip = (angle + 50) * kPi / 180;
        return Polygon({{cx + 1.9 * std::cos(a), cy + 1.9 * std::sin(a)},
                        {cx + 8.0 * std::cos(a), cy + 8.0 * std::sin(a)},
                        {cx + 5.0 * std::cos(tip), cy + 5.0 * std::sin(tip)}});
    };
    for (double start : {180.0, 0.0}) {
        const Inside body = arc(start + 10, start + 125);
        const Inside tip = head(start + 125);
        Shape(c, [&](double x, double y) { return body(x, y) || tip(x, y); }, kGreen, kDarkGreen);
    }
}

void Star(Cell& c) {
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 10; ++i) {
        const double a = (-90 + 36 * i) * kPi / 180;
        const double r = i % 2 ? 3.2 : 7.6;
        points.emplace_back(8 + r * std::cos(a), 8.6 + r * std::sin(a));
    }
    Shape(c, Polygon(points), kYellow, kGold);
}

void GreenArrow(Cell& c, int x0, int y0) {  // 8 x 7, pointing right
    Art(c, x0, y0,
        {"....k...",
         "....kk..",
         "kkkkkek.",
         "keeeeeek",
         "kkkkkek.",
         "....kk..",
         "....k..."});
}

// --- The strips -----------------------------------------------------------

using Painter = std::function<void(Cell&)>;

Image Draw(int size, std::initializer_list<Painter> painters) {
    Image image(int(painters.size()) * size, size);
    int index = 0;
    for (const auto& paint : painters) {
        Cell cell(image, index++, size);
        paint(cell);
    }
    return image;
}

// The small subject of a folder, disk or broom: drawn over its corner.
void ClockBadge(Cell& c) { Clock(c, 11.5, 11.5, 4.5); }
void CookieBadge(Cell& c) { Cookie(c, 11.5, 11.5, 4.5); }
void GlobeBadge(Cell& c) { Globe(c, 11.5, 11.5, 4.5); }

void PlainPage(Cell& c) { Page(c, 2, 0, 13, 15); }

void Badged(Cell& c, void (*base)(Cell&), void (*badge)(Cell&)) {
    base(c);
    badge(c);
}

}  // namespace

Image CommandImages(int size) {
    return Draw(size, {
        RefreshArrows,                                               // Refresh
        [](Cell& c) { Badged(c, Disk, ClockBadge); },                // Save History...
        [](Cell& c) { Badged(c, Disk, CookieBadge); },               // Save Cookie List...
        [](Cell& c) { Badged(c, Disk, GlobeBadge); },                // Save Cache List...
        [](Cell& c) {                                                // Open Index File...
            OpenFolder(c);
        },
        [](Cell& c) {  // Search Index.dat files...
            OpenFolder(c);
            Magnifier(c, 9.5, 8.5, 3.5);
        },
        [](Cell& c) { Badged(c, OpenFolder, ClockBadge); },   // Open History Index...
        [](Cell& c) { Badged(c, OpenFolder, CookieBadge); },  // Open Cookies Index...
        [](Cell& c) { Badged(c, OpenFolder, GlobeBadge); },   // Open Cache Index...
        [](Cell& c) {                                         // Clean History...
            Broom(c);
            Clock(c, 5, 5, 4.6);
        },
        [](Cell& c) {  // Clean Cookie...
            Broom(c);
            Cookie(c, 5, 5, 4.6);
        },
        [](Cell& c) {  // Clean Browser Cache...
            Broom(c);
            Globe(c, 5, 5, 4.6);
        },
        [](Cell& c) {  // Index Files...
            Page(c, 1, 0, 11, 14);
            PageLines(c, 3, 8, 4, 11, kGrey);
            RedCross(c, 9, 9, 14.5, 14.5, 1.6);
        },
        [](Cell& c) {  // Typed URL List
            Rect(c, 0, 2, 15, 8, kWhite);
            Frame(c, 0, 2, 15, 8, kDark);
            Rect(c, 2, 5, 9, 5, kBlue);
            Rect(c, 11, 4, 11, 6, kBlack);
            Eraser(c);
        },
        [](Cell& c) {  // Recent Documents
            Page(c, 4, 0, 13, 11);
            Page(c, 1, 3, 10, 14);
            PageLines(c, 3, 8, 7, 12, kGrey);
            Eraser(c);
        },
        [](Cell& c) {  // Run History
            Rect(c, 0, 1, 13, 11, kWhite);
            Frame(c, 0, 1, 13, 11, kDark);
            Rect(c, 1, 2, 12, 3, kNavy);
            Rect(c, 2, 6, 9, 8, kWhite);
            Frame(c, 2, 6, 9, 8, kGrey);
            Rect(c, 3, 7, 6, 7, kBlack);
            Eraser(c);
        },
        [](Cell& c) {  // Select All Items
            Rect(c, 1, 1, 14, 14, kWhite);
            Frame(c, 1, 1, 14, 14, kDark);
            for (int y = 3; y <= 11; y += 3) {
                Rect(c, 3, y, 12, y + 1, kBlue);
                Rect(c, 5, y, 10, y, kSky);
            }
        },
        [](Cell& c) {  // Find on this Tab...
            Magnifier(c, 6, 6, 4.8);
        },
        [](Cell& c) {  // Options...
            Gear(c, 8, 8, 7.5);
        },
        [](Cell& c) {  // Help
            HelpDisc(c, 8, 8, 7.5, true);
        },
        [](Cell& c) {  // Online Help
            Globe(c, 7, 7, 6.8);
            HelpDisc(c, 11.5, 11.5, 4.5, true);
        },
        [](Cell& c) {  // Web Page
            Globe(c, 8, 8, 7.5);
        },
        [](Cell& c) {  // About Tidewell
            HelpDisc(c, 8, 8, 7.5, false);
        },
    });
}

Image RowImages(int size) {
    return Draw(size, {
        [](Cell& c) { Badged(c, PlainPage, ClockBadge); },  // history
        [](Cell& c) { Cookie(c, 8, 8, 7.5); },              // cookie
        [](Cell& c) { Badged(c, PlainPage, GlobeBadge); },  // web page
        [](Cell& c) {                                       // secure page
            PlainPage(c);
            Padlock(c, 6, 6);
        },
        [](Cell& c) {  // picture
            Rect(c, 0, 2, 15, 13, kSky);
            Frame(c, 0, 2, 15, 13, kDark);
            Shape(c, Disc(11, 6, 2), kYellow, kOrange);
            Fill(c, Polygon({{1, 12.9}, {5.5, 6.5}, {9, 11}, {11, 9}, {15, 12.9}}), kGreen);
        },
        [](Cell& c) {  // script
            PlainPage(c);
            PageLines(c, 4, 11, 4, 9, kGrey);
            Rect(c, 6, 9, 14, 15, kYellow);
            Frame(c, 6, 9, 14, 15, kGold);
            Rect(c, 8, 11, 12, 13, kOrange);
        },
        [](Cell& c) {  // style sheet
            PlainPage(c);
            Gear(c, 11, 11, 5);
        },
        [](Cell& c) {  // sound or video
            PlainPage(c);
            Notes(c, 6, 6);
        },
        PlainPage,  // anything else
        [](Cell& c) {  // a cookie of a kept site
            Cookie(c, 6.5, 6.5, 6.2);
            Padlock(c, 6, 6);
        },
    });
}

Image ContextImages(int size) {
    return Draw(size, {
        [](Cell& c) {  // Open URL
            Globe(c, 7, 7, 6.8);
            GreenArrow(c, 8, 9);
        },
        [](Cell& c) {  // Copy URL
            Page(c, 1, 0, 10, 11);
            PageLines(c, 3, 7, 4, 9, kGrey);
            Page(c, 5, 4, 14, 15);
            PageLines(c, 7, 11, 8, 13, kBlue);
        },
        [](Cell& c) { RedCross(c, 3, 3, 13, 13, 2.2); },  // delete
        Star,                                              // Add to Favorites
        [](Cell& c) {                                      // View Details
            Page(c, 1, 0, 12, 15);
            PageLines(c, 3, 10, 4, 13, kGrey);
            Magnifier(c, 9, 8.5, 3.5);
        },
        [](Cell& c) {  // Properties
            Rect(c, 1, 1, 14, 14, kWhite);
            Frame(c, 1, 1, 14, 14, kDark);
            Rect(c, 2, 2, 13, 3, kNavy);
            for (int y = 6; y <= 12; y += 3) {
                Rect(c, 3, y, 5, y, kGrey);
                Rect(c, 7, y, 12, y, kBlue);
            }
        },
        OpenFolder,  // Open File
        [](Cell& c) {  // Keep Cookies of This Site
            Cookie(c, 5, 5, 4.6);
            Padlock(c, 6, 6);
        },
    });
}

Image SortMarks(int size) {
    return Draw(size, {
        [](Cell& c) { Fill(c, Polygon({{8, 4.5}, {12.5, 11.5}, {3.5, 11.5}}), kDark); },
        [](Cell& c) { Fill(c, Polygon({{3.5, 4.5}, {12.5, 4.5}, {8, 11.5}}), kDark); },
    });
}

const std::vector<Strip>& Strips() {
    static const std::vector<Strip> strips = {
        {"command_images", 203, 23, &CommandImages},
        {"sort_marks", 210, 2, &SortMarks},
        {"row_images", 212, 10, &RowImages},
        {"context_images", 227, 8, &ContextImages},
    };
    return strips;
}

std::string StripFile(const Strip& strip, int size) {
    return std::string(strip.name) + (size == kCell ? "" : "_" + std::to_string(size)) + ".bmp";
}

int StripResource(const Strip& strip, int size) {
    return strip.resource + (size == 24 ? 1000 : size == 32 ? 2000 : 0);
}

namespace {

Colour Mix(Colour a, Colour b, double t) {
    const auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return std::uint8_t(std::lround(x + (y - x) * t));
    };
    return Colour{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// Capitals of the banner's name, 5 x 7, '#' set.
const char* const kLetterT[] = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};
const char* const kLetterI[] = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"};
const char* const kLetterD[] = {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."};
const char* const kLetterE[] = {"#####", "#....", "#....", "####.", "#....", "#....", "#####"};
const char* const kLetterW[] = {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"};
const char* const kLetterL[] = {"#....", "#....", "#....", "#....", "#....", "#....", "#####"};

}  // namespace

Image Banner() {
    constexpr int kWidth = 400, kHeight = 80;
    Image image(kWidth, kHeight);
    // In 32 shades a gradient, so that the picture keeps to 256 colours.
    const auto shade = [](double t) { return std::round(t * 32) / 32; };
    // Sky darkening towards the top, then the sea with three wave crests.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double wave = std::sin((x / double(kWidth)) * 6 * kPi);
            const double surface = 57 + 4 * wave;
            Colour c = Mix(kNavy, kSky, shade(y / double(kHeight)));
            if (y >= surface)
                c = Mix(kBlue, kNavy, shade((y - surface) / (kHeight - surface + 1)));
            else if (y >= surface - 2)
                c = kWhite;
            image.Set(x, y, c);
        }
    const char* const* const letters[] = {kLetterT, kLetterI, kLetterD, kLetterE,
                                          kLetterW, kLetterE, kLetterL, kLetterL};
    constexpr int kScale = 5, kLeft = 16, kTop = 11;
    int left = kLeft;
    for (const char* const* letter : letters) {
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (letter[row][col] == '#')
                    for (int dy = 0; dy < kScale; ++dy)
                        for (int dx = 0; dx < kScale; ++dx) {
                            image.Set(left + col * kScale + dx + 2, kTop + row * kScale + dy + 2, kNavy);
                            image.Set(left + col * kScale + dx, kTop + row * kScale + dy, kWhite);
                        }
        left += 6 * kScale;
    }
    return image;
}

const std::vector<Picture>& Pictures() {
    static const std::vector<Picture> pictures = {
        {"about_banner.bmp", 219, 8, &Banner},
    };
    return pictures;
}

std::vector<std::uint8_t> EncodeBmp(const Image& image, int bits) {
    const bool indexed = bits == 8;
    std::vector<Colour> palette;
    std::vector<std::uint8_t> indexes;
    if (indexed) {
        for (const Colour& c : image.pixels) {
            auto at = std::find(palette.begin(), palette.end(), c);
            if (at == palette.end()) {
                if (palette.size() == 256)
                    return {};
                at = palette.insert(palette.end(), c);
            }
            indexes.push_back(std::uint8_t(at - palette.begin()));
        }
    }
    const std::uint32_t bytesPerPixel = indexed ? 1 : 3;
    const std::uint32_t stride = (std::uint32_t(image.width) * bytesPerPixel + 3) & ~3u;
    const std::uint32_t dataSize = stride * std::uint32_t(image.height);
    const std::uint32_t offset = 14 + 40 + 4 * std::uint32_t(palette.size());
    std::vector<std::uint8_t> out;
    out.reserve(offset + dataSize);
    const auto u16 = [&](std::uint32_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    const auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(0x4D42);  // "BM"
    u32(offset + dataSize);
    u32(0);
    u32(offset);
    u32(40);
    u32(std::uint32_t(image.width));
    u32(std::uint32_t(image.height));  // positive: bottom-up rows
    u16(1);
    u16(indexed ? 8 : 24);
    u32(0);  // BI_RGB
    u32(dataSize);
    u32(2835);  // 72 dpi
    u32(2835);
    u32(std::uint32_t(palette.size()));
    u32(0);
    for (const Colour& c : palette) {
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            if (indexed) {
                out.push_back(indexes[std::size_t(y) * std::size_t(image.width) + std::size_t(x)]);
                continue;
            }
            const Colour c = image.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        for (std::uint32_t pad = std::uint32_t(image.width) * bytesPerPixel; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

}  // namespace tw::bitmaps
