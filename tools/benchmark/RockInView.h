#pragma once

#include <glm/glm.hpp>

#include <string>

class World;

// How often rock fills the middle of the view over a walk: the landscape met along the view's centre
// line nearer than the point the eye orbits (above the cat). Counted from where the view is and from
// where the eye would be if nothing pulled it in.
class RockInView {
public:
    // Looks once at the world as it stands.
    void look(const World& world);
    // "V of N frames (P %) from the view, E (Q %) from the eye's own place".
    std::string describe() const;

private:
    int frames = 0;
    int fromView = 0;
    int fromEye = 0;
};
