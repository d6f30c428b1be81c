#include "app/options.h"

#include <cmath>
#include <cstring>

namespace driftscope {
namespace {

constexpr int kDotsPerInch = 96;
constexpr int kWeightNormal = 400;
constexpr int kWeightBold = 700;
constexpr std::size_t kFaceOffset = 28;
constexpr std::size_t kFaceSize = 32;

void PutInt32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
    }
}

std::int32_t GetInt32(const std::vector<std::uint8_t>& in, std::size_t at) {
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        u |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    }
    return static_cast<std::int32_t>(u);
}

// The classic system colours by index (scroll bar, background, active caption, ...).
constexpr std::array<TColor, 31> kSystemColors{
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};

} // namespace

std::vector<std::uint8_t> TFont::ToRecord() const {
    std::vector<std::uint8_t> r(kRecordSize, 0);
    // Height in pixels, negative: the character height rather than the cell height.
    PutInt32(r, 0, -static_cast<std::int32_t>(std::lround(size * kDotsPerInch / 72.0)));
    PutInt32(r, 16, bold ? kWeightBold : kWeightNormal);
    r[20] = italic ? 1 : 0;
    r[21] = underline ? 1 : 0;
    r[22] = strikeOut ? 1 : 0;
    r[23] = 1; // default character set
    const std::size_t n = std::min(face.size(), kFaceSize - 1);
    std::memcpy(r.data() + kFaceOffset, face.data(), n);
    return r;
}

TFont TFont::FromRecord(const std::vector<std::uint8_t>& r) {
    TFont font;
    if (r.size() != kRecordSize) {
        return font;
    }
    const std::int32_t height = GetInt32(r, 0);
    if (height != 0) {
        font.size = static_cast<int>(std::lround(std::abs(height) * 72.0 / kDotsPerInch));
    }
    font.bold = GetInt32(r, 16) >= 600;
    font.italic = r[20] != 0;
    font.underline = r[21] != 0;
    font.strikeOut = r[22] != 0;
    const auto* face = reinterpret_cast<const char*>(r.data() + kFaceOffset);
    font.face.assign(face, strnlen(face, kFaceSize));
    if (font.face.empty()) {
        font.face = "Tahoma";
    }
    return font;
}

const std::array<TTheme::TColorSlot, 14>& TTheme::ColorSlots() {
    static const std::array<TColorSlot, 14> slots{{
        {"navigationTreeColor", &TTheme::navigationTreeColor},
        {"currentViewColor", &TTheme::currentViewColor},
        {"currentViewFontColor", &TTheme::currentViewFontColor},
        {"baselineViewColor", &TTheme::baselineViewColor},
        {"baselineViewFontColor", &TTheme::baselineViewFontColor},
        {"panelHeaderColor", &TTheme::panelHeaderColor},
        {"panelHeaderFontColor", &TTheme::panelHeaderFontColor},
        {"panelCommandBarColor", &TTheme::panelCommandBarColor},
        {"panelCommandBarFontColor", &TTheme::panelCommandBarFontColor},
        {"navigationBaselineItemColor", &TTheme::navigationBaselineItemColor},
        {"navigationNonBaselineItemColor", &TTheme::navigationNonBaselineItemColor},
        {"navigationCustomItemColor", &TTheme::navigationCustomItemColor},
        {"nonExistentItemColor", &TTheme::nonExistentItemColor},
        {"modifiedItemColor", &TTheme::modifiedItemColor},
    }};
    return slots;
}

const std::array<TTheme::TFontSlot, 5>& TTheme::FontSlots() {
    static const std::array<TFontSlot, 5> slots{{
        {"currentViewFont", &TTheme::currentViewFont},
        {"baselineViewFont", &TTheme::baselineViewFont},
        {"navigationTreeFont", &TTheme::navigationTreeFont},
        {"panelHeaderFont", &TTheme::panelHeaderFont},
        {"panelCommandBarFont", &TTheme::panelCommandBarFont},
    }};
    return slots;
}

void TTheme::ResetColors() {
    const TTheme defaults;
    for (const TColorSlot& slot : ColorSlots()) {
        this->*slot.field = defaults.*slot.field;
    }
}

TColor TTheme::ResolveColor(TColor color) {
    if ((color >> 24) != 0x80) {
        return color & 0xFFFFFF;
    }
    const std::size_t index = color & 0xFF;
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

void TFolders::ResetToDefaults(const std::filesystem::path& appDataFolder,
                               const std::filesystem::path& programFolder) {
    const std::filesystem::path base = appDataFolder / "Driftscope";
    baselines = (base / "baselines").string();
    quarantine = (base / "quarantine").string();
    reports = (base / "reports").string();
    backups = (base / "backups").string();
    webSearch = (programFolder / "webSearch").string();
}

} // namespace driftscope
