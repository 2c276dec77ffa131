#include "game/HudFeedback.h"

#include <algorithm>
#include <cmath>

namespace {

const glm::vec4 kHurt(0.9f, 0.06f, 0.04f, 1.0f);
const glm::vec4 kLowInk(1.0f, 0.3f, 0.22f, 1.0f);
const glm::vec4 kHealInk(0.45f, 1.0f, 0.45f, 1.0f);
const glm::vec4 kGold(1.0f, 0.84f, 0.3f, 1.0f);
const glm::vec4 kShade(0.04f, 0.03f, 0.03f, 0.85f);

glm::vec4 faded(glm::vec4 color, float opacity) {
    color.a *= std::clamp(opacity, 0.0f, 1.0f);
    return color;
}

}  // namespace

void HudFeedback::take(const WorldEvents& events) {
    for (const WorldEvent& event : events) {
        switch (event.kind) {
            case WorldEvent::Kind::PlayerHit:
                sinceHit = 0.0f;
                shooter = event.from;
                break;
            case WorldEvent::Kind::RabbitHit: sinceHitMarker = 0.0f; break;
            case WorldEvent::Kind::RabbitFell: rising.push_back({"+5", false, 0.0f}); break;
            case WorldEvent::Kind::Diamond: rising.push_back({"+1", true, 0.0f}); break;
            case WorldEvent::Kind::Heal: sinceHeal = 0.0f; break;
            default: break;
        }
    }
}

void HudFeedback::showLevel(const std::string& name) {
    levelName = name;
    sinceLevel = 0.0f;
}

void HudFeedback::advance(float seconds) {
    seconds = std::max(seconds, 0.0f);
    clock = std::fmod(clock + seconds, 60.0f);
    sinceHit += seconds;
    sinceHitMarker += seconds;
    sinceHeal += seconds;
    sinceLevel += seconds;
    for (Rising& r : rising) r.age += seconds;
    rising.erase(std::remove_if(rising.begin(), rising.end(), [](const Rising& r) { return r.age >= kRiseSeconds; }),
                 rising.end());
}

void HudFeedback::clear() { *this = HudFeedback(); }

bool HudFeedback::moving() const {
    return sinceHit < std::max(kFlashSeconds, kMarkerSeconds) || sinceHitMarker < kHitMarkerSeconds ||
           sinceHeal < kHealSeconds || sinceLevel < kLevelSeconds || !rising.empty();
}

HudText HudFeedback::healthRow(const HudText& row, float health) const {
    HudText shown = row;
    if (health <= kLowHealth) {
        // Twice a second between full red and a darker, fainter red.
        const float beat = 0.5f + 0.5f * std::cos(clock * 2.0f * 6.2831853f);
        shown.color = glm::mix(glm::vec4(0.7f, 0.12f, 0.08f, 0.75f), kLowInk, beat);
    }
    if (sinceHeal < kHealSeconds) shown.color = glm::mix(shown.color, kHealInk, 1.0f - sinceHeal / kHealSeconds);
    return shown;
}

void HudFeedback::draw(const HudLayout& layout, const Scene& scene, HudShapes& shapes,
                       std::vector<HudText>& rows) const {
    const float w = static_cast<float>(layout.width()), h = static_cast<float>(layout.height()), u = layout.unit();
    if (sinceHit < kFlashSeconds) {
        // Red glowing in from all four edges, gone in under half a second.
        const glm::vec4 edge = faded(kHurt, 0.7f * (1.0f - sinceHit / kFlashSeconds)), clear = faded(kHurt, 0.0f);
        const float depth = 0.12f * std::min(w, h);
        shapes.fade({0.0f, 0.0f}, {depth, h}, 0, edge, clear);
        shapes.fade({w - depth, 0.0f}, {w, h}, 2, edge, clear);
        shapes.fade({0.0f, 0.0f}, {w, depth}, 1, edge, clear);
        shapes.fade({0.0f, h - depth}, {w, h}, 3, edge, clear);
    }
    if (sinceHit < kMarkerSeconds) {
        // A wedge round the middle of the screen, pointing where the shot came from: up is
        // ahead of the eye, down behind it. It turns as the cat turns.
        const glm::vec2 ahead = glm::vec2(scene.ahead.x, scene.ahead.z);
        const glm::vec2 toShooter = glm::vec2(shooter.x - scene.cat.x, shooter.z - scene.cat.z);
        if (glm::length(ahead) > 1e-6f && glm::length(toShooter) > 1e-6f) {
            const glm::vec2 forward = glm::normalize(ahead), right(-forward.y, forward.x);
            const glm::vec2 d = glm::normalize(glm::vec2(glm::dot(toShooter, right), glm::dot(toShooter, forward)));
            const glm::vec2 side(-d.y, d.x), middle(w / 2.0f, h / 2.0f);
            // On an ellipse out beyond the cat, so the wedge never hides in it.
            const glm::vec2 radius(0.32f * w, 0.38f * h);
            const float length = 60.0f * u, half = 32.0f * u;
            const float opacity = 1.0f - std::max(0.0f, sinceHit - 0.5f) / (kMarkerSeconds - 0.5f);
            const glm::vec2 base = middle + d * radius, tip = base + d * length;
            const float rim = 3.0f * u;
            shapes.triangle(tip + d * rim * 1.6f, base - d * rim + side * (half + rim * 1.6f),
                            base - d * rim - side * (half + rim * 1.6f), faded(kShade, opacity));
            shapes.triangle(tip, base + side * half, base - side * half, faded(kHurt, opacity));
        }
    }
    if (sinceHitMarker < kHitMarkerSeconds) {
        // Four short strokes on the diagonals round the crosshair, dark-edged to read on any ground.
        const float opacity = 1.0f - sinceHitMarker / kHitMarkerSeconds;
        const float inner = 14.0f * u, outer = 30.0f * u;
        for (int i = 0; i < 4; ++i) {
            const glm::vec2 d(i % 2 ? 0.7071f : -0.7071f, i / 2 ? 0.7071f : -0.7071f);
            shapes.bar(scene.crosshair + d * (inner - 2.0f * u), scene.crosshair + d * (outer + 2.0f * u), 7.0f * u,
                       faded(kShade, opacity));
        }
        for (int i = 0; i < 4; ++i) {
            const glm::vec2 d(i % 2 ? 0.7071f : -0.7071f, i / 2 ? 0.7071f : -0.7071f);
            shapes.bar(scene.crosshair + d * inner, scene.crosshair + d * outer, 3.0f * u,
                       faded(glm::vec4(1.0f), opacity));
        }
    }
    for (const Rising& r : rising) {
        const float t = r.age / kRiseSeconds, size = r.fromScore ? u : 1.2f * u;
        glm::vec2 from = scene.crosshair + glm::vec2(24.0f * u, 20.0f * u);
        if (r.fromScore) {
            const HudLayout::Box score = layout.box(scene.scoreRow);
            from = glm::vec2(score.right + 16.0f * u, scene.scoreRow.y);
        }
        rows.push_back({from.x, from.y + 70.0f * u * t, size, r.text, faded(kGold, 1.0f - t * t)});
    }
    if (sinceLevel < kLevelSeconds) {
        const float opacity = std::min(1.0f, (kLevelSeconds - sinceLevel) / 0.3f);
        rows.push_back(layout.centredRow(levelName, h - 340.0f * u, u, faded(HudText::kInk, opacity)));
    }
}
