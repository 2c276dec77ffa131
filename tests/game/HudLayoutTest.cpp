#include "game/HudFeedback.h"
#include "game/HudRows.h"
#include "game/RoundSummary.h"
#include "world/GameStateManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// A font at least as wide as the game's: 30 pixels a character at scale 1.
HudLayout::Font wideFont() {
    return {[](const std::string& text, float scale) { return 30.0f * scale * static_cast<float>(text.size()); }, 36.0f,
            11.0f};
}

std::string describe(const HudLayout::Box& b) {
    return "(" + std::to_string(b.left) + ", " + std::to_string(b.bottom) + ")-(" + std::to_string(b.right) + ", " +
           std::to_string(b.top) + ")";
}

// Every row in the safe area, out of the cat's way, apart from the others; centred rows centred.
void expectLaidOut(const HudLayout& layout, const std::vector<HudText>& rows, bool centred, const std::string& where) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].text.empty()) continue;
        const HudLayout::Box box = layout.box(rows[i]);
        EXPECT_TRUE(layout.safeArea().contains(box)) << where << " row " << rows[i].text << " " << describe(box);
        if (centred) {
            EXPECT_NEAR(box.left + box.right, static_cast<float>(layout.width()), 2.0f) << where;
        } else {
            EXPECT_FALSE(box.overlaps(layout.catArea())) << where << " " << rows[i].text;
        }
        EXPECT_GE(rows[i].scale * 48.0f, 16.0f) << where << " legible";
        for (size_t j = 0; j < i; ++j) {
            if (rows[j].text.empty()) continue;
            EXPECT_FALSE(box.overlaps(layout.box(rows[j]))) << where << ": " << rows[i].text << " / " << rows[j].text;
        }
    }
}

TEST(HudLayoutTest, RowsAndTheRoundPanelFitEveryWindowAndKeepTheirPlacesAtTheReferenceSize) {
    GameStateManager round;
    round.timeLeft = 0;
    round.score = 9999;
    RoundSummary summary;
    summary.take({{WorldEvent::Kind::PlayerShot}, {WorldEvent::Kind::RabbitHit}, {WorldEvent::Kind::HealthGone}});
    for (const float hudScale : {1.0f, 0.5f, 2.0f}) {
        for (const glm::ivec2& size : {glm::ivec2(640, 360), glm::ivec2(960, 540), glm::ivec2(1280, 1024),
                                       glm::ivec2(1920, 1080), glm::ivec2(3840, 2160)}) {
            const std::string where =
                std::to_string(size.x) + "x" + std::to_string(size.y) + " at " + std::to_string(hudScale);
            HudRows rows(size.x, size.y, hudScale, wideFont());
            rows.update(round, false, 1000, true);
            rows.updateCulledRow(12345, true, true);
            expectLaidOut(rows.geometry(), rows.visibleRows(false), false, where);
            const std::vector<HudText> paused = rows.visibleRows(true);
            expectLaidOut(rows.geometry(), paused, false, where + " paused");
            expectLaidOut(rows.geometry(), {paused.end() - 2, paused.end()}, true, where + " paused");

            rows.endRound(round, summary, "Best score: 99999", {9999, 120, 35, 4, 70});
            const std::vector<HudText> panel = rows.visibleRows(true);
            ASSERT_EQ(panel.size(), 8u) << "the panel alone";
            expectLaidOut(rows.geometry(), panel, true, where + " panel");
            const HudLayout::Box backdrop = rows.backdrop();
            EXPECT_TRUE(rows.geometry().safeArea().contains(backdrop)) << where << describe(backdrop);
            for (const HudText& row : panel) EXPECT_TRUE(backdrop.contains(rows.geometry().box(row))) << row.text;
            EXPECT_NEAR(backdrop.left + backdrop.right, static_cast<float>(size.x), 1.0f);
            EXPECT_NEAR(backdrop.bottom + backdrop.top, static_cast<float>(size.y), 1.0f);
        }
    }

    // At 1920 x 1080 the corner rows stand where they always did; the long culled row keeps in the window.
    HudRows reference(1920, 1080, 1.0f, wideFont());
    const auto& at = reference.rows();
    const float expected[4][2] = {{100, 200}, {100, 150}, {100, 100}, {100, 980}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(glm::vec3(at[i].x, at[i].y, at[i].scale), glm::vec3(expected[i][0], expected[i][1], 1.0f)) << i;
    }
    EXPECT_EQ(glm::vec2(at[4].x, at[4].y), glm::vec2(1470, 980));
    reference.updateCulledRow(12345, true, true);
    EXPECT_FLOAT_EQ(reference.geometry().box(at[4]).right, 1920.0f - 32.0f);
    EXPECT_EQ(reference.geometry().crosshairScale(), glm::vec2(0.03f, 0.05f));
    EXPECT_EQ(HudRows(3840, 2160, 1.0f, wideFont()).geometry().crosshairScale(), glm::vec2(0.03f, 0.05f));
    EXPECT_EQ(HudRows(1920, 1080, 0.5f, wideFont()).geometry().crosshairScale(), glm::vec2(0.015f, 0.025f));
}

TEST(HudLayoutTest, TheRoundPanelTellsWhyTheRoundEndedAndWhatItHeld) {
    RoundSummary summary;
    const WorldEvents tick = {{WorldEvent::Kind::PlayerShot}, {WorldEvent::Kind::PlayerShot},
                              {WorldEvent::Kind::PlayerShot}, {WorldEvent::Kind::RabbitHit},
                              {WorldEvent::Kind::RabbitHit},  {WorldEvent::Kind::RabbitFell},
                              {WorldEvent::Kind::Diamond},    {WorldEvent::Kind::Heal}};
    summary.take(tick);
    summary.take({{WorldEvent::Kind::Diamond}, {WorldEvent::Kind::TimeUp}, {WorldEvent::Kind::Diamond}});
    summary.take(tick);  // the world plays on after the round
    summary.lasted(60);
    EXPECT_EQ(summary.reasonText(), "Time's up");
    EXPECT_EQ(summary.statTexts(),
              (std::vector<std::string>{"Diamonds 2   Rabbits downed 1", "Shots 3   Hits 2 (67%)", "Survived 01:00"}));

    GameStateManager round;
    round.score = 7;
    HudRows rows(960, 540, 1.0f, wideFont());
    rows.endRound(round, summary, "New best score!", {});
    std::string shown;
    for (const HudText& row : rows.visibleRows(false)) shown += row.text + "|";
    EXPECT_EQ(shown,
              "Time's up|Score: 7|Diamonds 2   Rabbits downed 1|Shots 3   Hits 2 (67%)|Survived 01:00|"
              "New best score!|Press R to start over|");
    rows.startRound();
    EXPECT_EQ(rows.visibleRows(false).size(), 5u);
    summary.clear();
    summary.take({{WorldEvent::Kind::HealthGone}});
    summary.lasted(12);
    EXPECT_EQ(summary.reasonText(), "Knocked out");
    EXPECT_EQ(summary.statTexts().back(), "Survived 00:12");
}

}  // namespace

namespace {

// The middle of all the shapes' corners drawn in one colour.
glm::vec2 centreOf(const HudShapes& shapes, const glm::vec3& color) {
    glm::vec2 sum(0.0f);
    int count = 0;
    for (const HudShapes::Vertex& v : shapes.vertices()) {
        if (glm::length(glm::vec3(v.color) - color) < 1e-3f && v.color.a > 0.0f) {
            sum += v.at;
            ++count;
        }
    }
    return count ? sum / static_cast<float>(count) : glm::vec2(-1.0f);
}

struct Drawn {
    HudShapes shapes;
    std::vector<HudText> rows;
};

Drawn draw(const HudFeedback& feedback, const glm::vec3& ahead = {0.0f, 0.0f, -1.0f}) {
    const HudLayout layout(960, 540, 1.0f, wideFont());
    HudFeedback::Scene scene;
    scene.crosshair = {500.0f, 300.0f};
    scene.cat = {10.0f, 0.0f, 10.0f};
    scene.ahead = ahead;
    scene.scoreRow = layout.cornerRow(2, "Score: 3");
    Drawn drawn;
    feedback.draw(layout, scene, drawn.shapes, drawn.rows);
    return drawn;
}

const glm::vec3 kHurtRed(0.9f, 0.06f, 0.04f);

}  // namespace

TEST(HudFeedbackTest, AHitFlashesTheEdgesAndPointsAtTheShooterWhereverItStands) {
    HudFeedback feedback;
    EXPECT_TRUE(draw(feedback).shapes.empty());
    // Shots from behind, ahead and the right of a cat looking along -z.
    const struct {
        glm::vec3 from;
        glm::vec2 side;
    } shots[] = {{{10, 0, 30}, {0, -1}}, {{10, 0, -5}, {0, 1}}, {{40, 0, 10}, {1, 0}}};
    for (const auto& shot : shots) {
        feedback.take({{WorldEvent::Kind::PlayerHit, {10, 0, 10}, shot.from}});
        const Drawn now = draw(feedback);
        // The flash lies along the edges; the marker's wedge well off the middle towards the shooter.
        const std::vector<HudShapes::Vertex>& v = now.shapes.vertices();
        ASSERT_GE(v.size(), 24u + 6u);
        EXPECT_GT(v[0].color.a, 0.4f);
        const glm::vec2 marker = v[v.size() - 1].at + v[v.size() - 2].at + v[v.size() - 3].at;
        const glm::vec2 offset = marker / 3.0f - glm::vec2(480.0f, 270.0f);
        EXPECT_GT(glm::dot(glm::normalize(offset), shot.side), 0.99f) << shot.from.x << " " << shot.from.z;
        EXPECT_GT(glm::length(offset), 100.0f);
    }
    // The cat turned to face the last shooter: the marker turns with it.
    const Drawn turned = draw(feedback, {1, 0, 0});
    EXPECT_GT(turned.shapes.vertices().back().at.y, 270.0f);
    feedback.advance(HudFeedback::kFlashSeconds);
    const Drawn later = draw(feedback);
    EXPECT_EQ(later.shapes.vertices().size(), 6u) << "the flash gone, the marker still there";
    feedback.advance(HudFeedback::kMarkerSeconds);
    EXPECT_TRUE(draw(feedback).shapes.empty());
}

TEST(HudFeedbackTest, HitsScoresHealsLowHealthAndTheLevelNameShowAndFade) {
    HudFeedback feedback;
    const HudText health{100, 150, 1, "Health: 50%"};
    EXPECT_EQ(feedback.healthRow(health, 0.5f).color, HudText::kInk);
    feedback.take({{WorldEvent::Kind::RabbitHit},
                   {WorldEvent::Kind::RabbitFell},
                   {WorldEvent::Kind::Diamond},
                   {WorldEvent::Kind::Heal}});
    feedback.showLevel("Graphics: medium");
    Drawn now = draw(feedback);
    // The hit marker: white strokes centred on the crosshair.
    EXPECT_LT(glm::length(centreOf(now.shapes, glm::vec3(1.0f)) - glm::vec2(500.0f, 300.0f)), 0.01f);
    ASSERT_EQ(now.rows.size(), 3u);
    EXPECT_EQ(now.rows[0].text, "+5");
    EXPECT_GT(now.rows[0].x, 500.0f);
    EXPECT_EQ(now.rows[1].text, "+1");
    EXPECT_GT(now.rows[1].x, 50.0f + 30.0f * 0.5f * 8.0f) << "right of the score";
    EXPECT_EQ(now.rows[2].text, "Graphics: medium");
    const glm::vec4 healed = feedback.healthRow(health, 0.5f).color;
    EXPECT_GT(healed.g, healed.r + 0.3f) << "green";

    feedback.advance(0.5f);
    const Drawn risen = draw(feedback);
    EXPECT_TRUE(risen.shapes.empty()) << "the hit marker is gone";
    EXPECT_GT(risen.rows[0].y, now.rows[0].y + 15.0f);
    EXPECT_LT(risen.rows[0].color.a, 0.9f);
    feedback.advance(0.5f);
    EXPECT_EQ(draw(feedback).rows.size(), 1u) << "only the level's name is left";
    EXPECT_EQ(feedback.healthRow(health, 0.5f).color, HudText::kInk);
    feedback.advance(1.0f);
    EXPECT_TRUE(draw(feedback).rows.empty());

    // At 30 % or less the row is red and pulses.
    const glm::vec4 low = feedback.healthRow(health, 0.3f).color;
    feedback.advance(0.25f);
    const glm::vec4 pulsed = feedback.healthRow(health, 0.3f).color;
    EXPECT_GT(low.r, 2.0f * low.g);
    EXPECT_GT(pulsed.r, 2.0f * pulsed.g);
    EXPECT_GT(glm::length(low - pulsed), 0.2f);

    feedback.take({{WorldEvent::Kind::PlayerHit}, {WorldEvent::Kind::Diamond}});
    feedback.clear();
    EXPECT_TRUE(draw(feedback).shapes.empty());
    EXPECT_TRUE(draw(feedback).rows.empty());
}

// A frame under a menu is drawn again only while the feedback moves: once moving() says it stopped,
// time changes nothing that is drawn (shapes, rows or the health row), and it says so from each event.
TEST(HudFeedbackTest, ItMovesExactlyAsLongAsTimeChangesWhatIsDrawn) {
    const auto picture = [](const HudFeedback& feedback) {
        const Drawn drawn = draw(feedback);
        std::string text;
        for (const HudShapes::Vertex& v : drawn.shapes.vertices())
            text += std::to_string(v.at.x) + "," + std::to_string(v.at.y) + "," + std::to_string(v.color.a) + ";";
        for (const HudText& row : drawn.rows) text += row.text + std::to_string(row.y) + std::to_string(row.color.a);
        const glm::vec4 health = feedback.healthRow({100, 150, 1, "Health: 80%"}, 0.8f).color;
        return text + std::to_string(health.r) + std::to_string(health.g);
    };
    const std::pair<const char*, std::function<void(HudFeedback&)>> starts[] = {
        {"hit",
         [](HudFeedback& f) {
             f.take({{WorldEvent::Kind::PlayerHit, {10, 0, 10}, {10, 0, 30}}});
         }},
        {"hit marker", [](HudFeedback& f) { f.take({{WorldEvent::Kind::RabbitHit}}); }},
        {"rabbit down", [](HudFeedback& f) { f.take({{WorldEvent::Kind::RabbitFell}}); }},
        {"diamond", [](HudFeedback& f) { f.take({{WorldEvent::Kind::Diamond}}); }},
        {"heal", [](HudFeedback& f) { f.take({{WorldEvent::Kind::Heal}}); }},
        {"level", [](HudFeedback& f) { f.showLevel("Graphics: low"); }},
    };
    for (const auto& [kind, start] : starts) {
        HudFeedback feedback;
        EXPECT_FALSE(feedback.moving());
        start(feedback);
        EXPECT_TRUE(feedback.moving()) << kind;
        for (int step = 0; step < 60; ++step) {
            const bool moving = feedback.moving();
            const std::string before = picture(feedback);
            feedback.advance(0.05f);
            if (!moving) {
                EXPECT_EQ(picture(feedback), before) << kind << " at step " << step;
            }
        }
        EXPECT_FALSE(feedback.moving()) << kind;
    }
}
