#include "menu/Captions.h"

#include "support/HeardSounds.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) all += (all.empty() ? "" : " ") + text;
    return all;
}

// Sides as the listener faces: it stands at (10, 2, 10) looking along -z, then turned to look along +x.
TEST(Captions, EachSoundIsCaptionedWithItsSideForTwoSecondsAndPassedOn) {
    double now = 100.0;
    auto heard = std::make_shared<testsupport::HeardSounds>();
    Captions captions(heard, [&now] { return now; });
    captions.onShot(false, glm::vec3(0.0f));
    EXPECT_TRUE(captions.shown().empty()) << "off by default";
    captions.setEnabled(true);
    const glm::mat4 north = glm::translate(glm::mat4(1.0f), glm::vec3(10, 2, 10));
    captions.followCamera(north);
    captions.onShot(false, glm::vec3(0, 2, 11));
    captions.onRabbitHit(glm::vec3(30, 0, 12), false);
    captions.onRabbitHit(glm::vec3(12, 9, -20), true);
    captions.onPlayerHit();
    EXPECT_EQ(joined(captions.shown()), "[rabbit fires, left] [rabbit hit, right] [rabbit down, ahead] [hit]");
    EXPECT_EQ(heard->heard.size(), 5u) << "every event still reaches the sound, captioned or not";

    // Turned a quarter to the right (looking along +x): ahead is now +x, behind -x, left -z.
    captions.followCamera(north * glm::rotate(glm::mat4(1.0f), -glm::half_pi<float>(), glm::vec3(0, 1, 0)));
    now += 1.0;
    captions.onShot(false, glm::vec3(-20, 2, 10));
    captions.onRabbitHit(glm::vec3(10, 2, -5), true);
    EXPECT_EQ(joined(captions.shown()), "[rabbit down, ahead] [hit] [rabbit fires, behind] [rabbit down, left]")
        << "four at most, the oldest go first";
    now += 0.5;
    captions.onPlayerHit();
    EXPECT_EQ(joined(captions.shown()), "[rabbit down, ahead] [rabbit fires, behind] [rabbit down, left] [hit]")
        << "a caption heard again moves to the end";
    now += 0.6;  // 2.1 s after the first ones
    captions.onDiamond(glm::vec3(0.0f));
    captions.onHeal(glm::vec3(0.0f));
    EXPECT_EQ(joined(captions.shown()), "[rabbit down, left] [hit] [diamond] [healed]");
    now += 2.5;
    EXPECT_TRUE(captions.shown().empty());
    captions.onRoundOver(false);
    captions.setEnabled(false);
    EXPECT_TRUE(captions.shown().empty());
    EXPECT_EQ(heard->count("time up"), 1);
}

}  // namespace
