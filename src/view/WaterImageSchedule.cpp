#include "view/WaterImageSchedule.h"

bool WaterImageSchedule::Drawn::stillAt(const glm::vec3& p, const glm::vec3& r) const {
    const glm::vec3 turn = glm::abs(r - rotation);
    return glm::length(p - position) < kStillDistance && turn.x < kStillTurn && turn.y < kStillTurn &&
           turn.z < kStillTurn;
}

int WaterImageSchedule::due(const glm::vec3& position, const glm::vec3& rotation, bool inTurn) {
    int images = 0;
    if (!inTurn || !bothDrawn) {
        images = kBoth;
    } else {
        for (int tries = 0; tries < 2 && images == 0; ++tries) {
            const int image = (next + tries) % 2;
            if (!drawn[image].stillAt(position, rotation)) images = image == 0 ? kReflection : kRefraction;
        }
    }
    for (int image = 0; image < 2; ++image) {
        if (!(images & (image == 0 ? kReflection : kRefraction))) continue;
        drawn[image] = Drawn{position, rotation};
        next = 1 - image;
    }
    bothDrawn = bothDrawn || images == kBoth;
    return images;
}
