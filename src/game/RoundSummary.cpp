#include "game/RoundSummary.h"

#include <cstdio>

void RoundSummary::take(const WorldEvents& events) {
    for (const WorldEvent& event : events) {
        if (ended != End::Running) break;
        switch (event.kind) {
            case WorldEvent::Kind::PlayerShot: ++fired; break;
            case WorldEvent::Kind::RabbitHit: ++hits; break;
            case WorldEvent::Kind::RabbitFell: ++downed; break;
            case WorldEvent::Kind::Diamond: ++diamondsTaken; break;
            case WorldEvent::Kind::TimeUp: ended = End::TimeUp; break;
            case WorldEvent::Kind::HealthGone: ended = End::KnockedOut; break;
            default: break;
        }
    }
}

std::string RoundSummary::reasonText() const { return ended == End::KnockedOut ? "Knocked out" : "Time's up"; }

std::vector<std::string> RoundSummary::statTexts() const {
    const int accuracy = fired > 0 ? (hits * 100 + fired / 2) / fired : 0;
    char survived[16];
    const int seconds = secondsSurvived();
    std::snprintf(survived, sizeof survived, "%02d:%02d", seconds / 60, seconds % 60);
    return {
        "Diamonds " + std::to_string(diamondsTaken) + "   Rabbits downed " + std::to_string(downed),
        "Shots " + std::to_string(fired) + "   Hits " + std::to_string(hits) + " (" + std::to_string(accuracy) + "%)",
        "Survived " + std::string(survived)};
}
