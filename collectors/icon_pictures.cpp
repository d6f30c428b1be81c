#include "collectors/icon_pictures.h"

#include "collectors/icon_manager.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace driftscope {
namespace {

using TPixels = std::array<std::uint32_t, TIconPictures::kSize * TIconPictures::kSize>;

// Opaque colours.
constexpr std::uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kGrey = 0xFF808080,
                        kLight = 0xFFC8C8C8, kDark = 0xFF404040, kYellow = 0xFFF0C040,
                        kOchre = 0xFFB08020, kBlue = 0xFF3060C0, kNavy = 0xFF203880,
                        kSky = 0xFF80B0F0, kGreen = 0xFF30A040, kRed = 0xFFD03030,
                        kBrown = 0xFFA07040, kTan = 0xFFD8B070, kSilver = 0xFFE0E0E8;

class TCanvas {
public:
    TPixels pixels{};

    void Pixel(int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < TIconPictures::kSize && y < TIconPictures::kSize) {
            pixels[static_cast<std::size_t>(y * TIconPictures::kSize + x)] = c;
        }
    }
    void Fill(int x0, int y0, int x1, int y1, std::uint32_t c) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                Pixel(x, y, c);
            }
        }
    }
    void Frame(int x0, int y0, int x1, int y1, std::uint32_t c) {
        for (int x = x0; x <= x1; ++x) {
            Pixel(x, y0, c);
            Pixel(x, y1, c);
        }
        for (int y = y0; y <= y1; ++y) {
            Pixel(x0, y, c);
            Pixel(x1, y, c);
        }
    }
    void Box(int x0, int y0, int x1, int y1, std::uint32_t fill, std::uint32_t edge) {
        Fill(x0, y0, x1, y1, fill);
        Frame(x0, y0, x1, y1, edge);
    }
    void Line(int x0, int y0, int x1, int y1, std::uint32_t c) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const int x = steps == 0 ? x0 : x0 + (x1 - x0) * i / steps;
            const int y = steps == 0 ? y0 : y0 + (y1 - y0) * i / steps;
            Pixel(x, y, c);
        }
    }
    void Disc(int cx, int cy, int r, std::uint32_t fill, std::uint32_t edge) {
        for (int y = cy - r; y <= cy + r; ++y) {
            for (int x = cx - r; x <= cx + r; ++x) {
                const int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (d <= r * r) {
                    Pixel(x, y, d >= (r - 1) * (r - 1) ? edge : fill);
                }
            }
        }
    }
};

void Page(TCanvas& c) {
    c.Box(3, 1, 12, 14, kWhite, kGrey);
    c.Line(10, 1, 12, 3, kGrey);
    c.Fill(11, 1, 12, 2, 0);
}

void Folder(TCanvas& c) {
    c.Box(1, 3, 6, 5, kOchre, kOchre);
    c.Box(1, 5, 14, 13, kYellow, kOchre);
}

void Drive(TCanvas& c, std::uint32_t body) {
    c.Box(1, 5, 14, 11, body, kDark);
    c.Fill(11, 8, 12, 9, kGreen);
}

void Gear(TCanvas& c, int cx, int cy, std::uint32_t color) {
    c.Disc(cx, cy, 4, color, kDark);
    for (const auto& [dx, dy] : {std::pair{0, -5}, {0, 5}, {-5, 0}, {5, 0}}) {
        c.Fill(cx + dx - (dx == 0), cy + dy - (dy == 0), cx + dx + (dx == 0), cy + dy + (dy == 0),
               kDark);
    }
    c.Disc(cx, cy, 1, kWhite, kWhite);
}

} // namespace

std::array<std::uint32_t, TIconPictures::kSize * TIconPictures::kSize>
TIconPictures::Argb(int index) {
    TCanvas c;
    switch (index) {
    case iiFolder:
        Folder(c);
        break;
    case iiFile:
        Page(c);
        break;
    case iiProgram:
        c.Box(1, 2, 14, 13, kWhite, kNavy);
        c.Fill(1, 2, 14, 4, kBlue);
        break;
    case iiAllFiles:
        Page(c);
        c.Line(5, 5, 10, 10, kDark);
        c.Line(10, 5, 5, 10, kDark);
        c.Line(7, 4, 7, 11, kDark);
        c.Line(4, 7, 11, 7, kDark);
        break;
    case iiLibrary:
        Page(c);
        c.Fill(5, 5, 7, 7, kRed);
        c.Fill(8, 8, 10, 10, kBlue);
        c.Fill(5, 9, 7, 11, kGreen);
        break;
    case iiScript:
        Page(c);
        for (int y = 4; y <= 11; y += 2) {
            c.Line(5, y, 10 - (y % 4), y, kGreen);
        }
        break;
    case iiText:
        Page(c);
        for (int y = 4; y <= 12; y += 2) {
            c.Line(5, y, 10, y, kGrey);
        }
        break;
    case iiRegistry:
        c.Box(1, 8, 6, 13, kRed, kDark);
        c.Box(7, 8, 12, 13, kGreen, kDark);
        c.Box(4, 2, 9, 7, kBlue, kDark);
        break;
    case iiDriveFixed:
        Drive(c, kLight);
        break;
    case iiDriveRemovable:
        c.Box(5, 1, 10, 4, kSilver, kDark);
        c.Box(3, 4, 12, 14, kBlue, kNavy);
        break;
    case iiDriveRemote:
        Drive(c, kLight);
        c.Line(7, 12, 7, 14, kDark);
        c.Line(2, 14, 13, 14, kDark);
        break;
    case iiDriveCdRom:
        c.Disc(7, 7, 6, kSilver, kGrey);
        c.Disc(7, 7, 1, kWhite, kDark);
        break;
    case iiDriveRam:
        c.Box(1, 4, 14, 11, kGreen, kDark);
        for (int x = 3; x <= 11; x += 4) {
            c.Fill(x, 6, x + 2, 9, kBlack);
        }
        break;
    case iiSystem:
        c.Box(1, 1, 14, 10, kSky, kDark);
        c.Fill(6, 11, 9, 12, kGrey);
        c.Fill(3, 13, 12, 14, kDark);
        break;
    case iiNetwork:
        c.Box(5, 1, 10, 5, kSky, kDark);
        c.Box(1, 10, 6, 14, kSky, kDark);
        c.Box(9, 10, 14, 14, kSky, kDark);
        c.Line(7, 6, 7, 8, kDark);
        c.Line(3, 8, 12, 8, kDark);
        c.Line(3, 8, 3, 9, kDark);
        c.Line(12, 8, 12, 9, kDark);
        break;
    case iiRecycleBin:
        c.Fill(3, 2, 12, 3, kDark);
        c.Box(4, 4, 11, 14, kLight, kDark);
        for (int x = 6; x <= 9; x += 3) {
            c.Line(x, 6, x, 12, kGrey);
        }
        break;
    case iiWizard:
        c.Line(2, 14, 10, 6, kBrown);
        c.Line(3, 14, 11, 6, kBrown);
        c.Line(12, 1, 12, 7, kYellow);
        c.Line(9, 4, 15, 4, kYellow);
        break;
    case iiProcesses:
        Gear(c, 7, 7, kSky);
        break;
    case iiServices:
        Gear(c, 5, 5, kLight);
        Gear(c, 10, 10, kSky);
        break;
    case iiModules:
        c.Box(1, 9, 7, 14, kBlue, kNavy);
        c.Box(8, 9, 14, 14, kGreen, kDark);
        c.Box(4, 2, 11, 8, kRed, kDark);
        break;
    case iiScheduledTasks:
        c.Disc(7, 8, 6, kWhite, kNavy);
        c.Line(7, 8, 7, 4, kBlack);
        c.Line(7, 8, 10, 8, kBlack);
        break;
    case iiStartup:
        for (int x = 3; x <= 12; ++x) {
            c.Line(x, 2 + (x - 3) / 2, x, 13 - (x - 3) / 2, kGreen);
        }
        break;
    case iiBrowser:
        c.Disc(7, 7, 6, kSky, kBlue);
        c.Line(1, 7, 13, 7, kBlue);
        c.Line(7, 1, 7, 13, kBlue);
        break;
    case iiSoftware:
        c.Box(1, 4, 14, 14, kTan, kBrown);
        c.Fill(6, 4, 9, 14, kBrown);
        c.Line(1, 4, 4, 1, kBrown);
        c.Line(14, 4, 11, 1, kBrown);
        break;
    case iiEnvironment:
        c.Box(1, 2, 14, 13, kBlack, kGrey);
        c.Line(3, 5, 5, 7, kGreen);
        c.Line(5, 7, 3, 9, kGreen);
        c.Line(7, 10, 11, 10, kGreen);
        break;
    case iiTemp:
        c.Fill(3, 1, 12, 2, kBrown);
        c.Fill(3, 13, 12, 14, kBrown);
        for (int y = 3; y <= 12; ++y) {
            const int inset = y < 8 ? y - 3 : 12 - y;
            c.Line(4 + inset, y, 11 - inset, y, y < 8 ? kLight : kTan);
        }
        break;
    case iiRecentlyUsed:
        Page(c);
        c.Disc(10, 10, 4, kWhite, kBlue);
        c.Line(10, 10, 10, 8, kBlack);
        c.Line(10, 10, 12, 10, kBlack);
        break;
    case iiLink:
        Page(c);
        c.Box(1, 9, 6, 14, kWhite, kDark);
        c.Line(2, 13, 5, 10, kBlue);
        c.Line(3, 10, 5, 10, kBlue);
        c.Line(5, 10, 5, 12, kBlue);
        break;
    default:
        break;
    }
    return c.pixels;
}

std::vector<std::uint8_t> TIconPictures::Rgb(int index) {
    const auto argb = Argb(index);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(argb.size() * 3);
    for (const std::uint32_t p : argb) {
        const bool transparent = (p >> 24) == 0;
        rgb.push_back(transparent ? 0xFF : static_cast<std::uint8_t>(p >> 16));
        rgb.push_back(transparent ? 0xFF : static_cast<std::uint8_t>(p >> 8));
        rgb.push_back(transparent ? 0xFF : static_cast<std::uint8_t>(p));
    }
    return rgb;
}

} // namespace driftscope
