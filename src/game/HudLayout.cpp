#include "game/HudLayout.h"

#include <algorithm>

namespace {

// Reference positions of the corner rows: x and y from the bottom-left, or from the top-right for
// negative values.
constexpr float kCornerX[5] = {100.0f, 100.0f, 100.0f, 100.0f, -450.0f};
constexpr float kCornerY[5] = {200.0f, 150.0f, 100.0f, -100.0f, -100.0f};
constexpr float kMargin = 32.0f;
constexpr float kPanelGap = 14.0f;
constexpr float kPanelPadding = 36.0f;

}  // namespace

HudLayout::HudLayout(int width, int height, float hudScale, Font measures)
    : wide(width), high(height), font(std::move(measures)) {
    const float fit =
        std::min(static_cast<float>(width) / kReferenceWidth, static_cast<float>(height) / kReferenceHeight);
    // Beyond one and a half times its size for the window the corner rows would reach the cat.
    scale = std::max(fit * std::min(hudScale, kMaxGrowth), kMinScale);
}

HudLayout::Box HudLayout::safeArea() const {
    const float m = kMargin * scale;
    return {m, m, static_cast<float>(wide) - m, static_cast<float>(high) - m};
}

HudLayout::Box HudLayout::catArea() const {
    // The eye stands behind and above the cat: cat and cushion fill the lower middle of the view.
    const float w = static_cast<float>(wide), h = static_cast<float>(high);
    return {w * 0.4f, h * 0.08f, w * 0.6f, h * 0.45f};
}

float HudLayout::textWidth(const std::string& text, float rowScale) const {
    return font.width ? font.width(text, rowScale) : 0.0f;
}

HudText HudLayout::cornerRow(int row, const std::string& text) const {
    const float w = static_cast<float>(wide), h = static_cast<float>(high);
    HudText placed{kCornerX[row] * scale, kCornerY[row] * scale, scale, text};
    if (kCornerX[row] < 0.0f) {
        // From the right, but never past the right margin, however long the text.
        placed.x = std::min(w + placed.x, safeArea().right - textWidth(text, scale));
    }
    if (kCornerY[row] < 0.0f) placed.y += h;
    return placed;
}

HudText HudLayout::centredRow(const std::string& text, float baseline, float rowScale, const glm::vec4& color) const {
    return {static_cast<float>(wide) / 2.0f - textWidth(text, rowScale) / 2.0f, baseline, rowScale, text, color};
}

HudLayout::Box HudLayout::box(const HudText& row) const {
    return {row.x, row.y - descent(row.scale), row.x + textWidth(row.text, row.scale), row.y + ascent(row.scale)};
}

HudLayout::Panel HudLayout::panel(const std::vector<Line>& lines) const {
    const Box safe = safeArea();
    float size = scale;
    Panel result;
    // Shrinks until it fits; a line at the smallest legible size may end the shrinking early.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const float gap = kPanelGap * size, padding = kPanelPadding * size;
        float height = 2.0f * padding, widest = 0.0f;
        std::vector<float> scales;
        for (size_t i = 0; i < lines.size(); ++i) {
            const float s = std::max(lines[i].size * size, kMinScale);
            scales.push_back(s);
            height += ascent(s) + descent(s) + (i > 0 ? gap * lines[i].gapBefore : 0.0f);
            widest = std::max(widest, textWidth(lines[i].text, s));
        }
        const float width = widest + 2.0f * padding;
        const float fit = std::min({1.0f, (safe.top - safe.bottom) / height, (safe.right - safe.left) / width});

        const float middleX = static_cast<float>(wide) / 2.0f, middleY = static_cast<float>(high) / 2.0f;
        result.backdrop = {middleX - width / 2.0f, middleY - height / 2.0f, middleX + width / 2.0f,
                           middleY + height / 2.0f};
        result.rows.clear();
        float cursor = result.backdrop.top - padding;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) cursor -= gap * lines[i].gapBefore;
            cursor -= ascent(scales[i]);
            result.rows.push_back(centredRow(lines[i].text, cursor, scales[i], lines[i].color));
            cursor -= descent(scales[i]);
        }
        if (fit >= 0.999f) break;
        size *= fit;
    }
    return result;
}

glm::vec2 HudLayout::crosshairScale() const {
    // 28.8 × 27 pixels each side of the centre at 1920 × 1080, the same shape at any size.
    return {28.8f * scale / (static_cast<float>(wide) / 2.0f), 27.0f * scale / (static_cast<float>(high) / 2.0f)};
}
