#pragma once

// How far the eye stands from the point it orbits (above the cat): its full distance when nothing is in
// the way, pulled in at once to where the way is clear when rock comes between, and let out again
// gently (so the view does not jump back) once the way clears.
class CameraBoom {
public:
    // Share of the remaining way let out per second (an exponential ease).
    static constexpr float kEaseOutRate = 4.0f;
    // The slowest it is let out, in units per second, so the last bit does not take forever.
    static constexpr float kMinEaseOutSpeed = 0.5f;

    // The length at once, whatever it was (a new world, the cat put somewhere).
    void settle(float clear) { current = clear; }
    // One tick of `dt` seconds with `clear` units free from the orbit point towards the eye's place.
    void follow(float clear, float dt);
    float length() const { return current; }

private:
    float current = 0.0f;
};
