#pragma once

#include "fluid/Healer.h"
#include "render/Frustum.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>

class MetaBallSolver;
class btBoxShape;
class btDefaultMotionState;
class btRigidBody;

// A fountain: a small box of liquid whose particles leap from the centre of its floor and fall back,
// drawn as one metaball surface. It lays out the grid and its flow field, owns the GPU particle
// solver the surface is drawn from, and has a contact-only trigger body named
// "fountain" at which the player heals. Grid units: one grid point per 1/d world units, with d the
// fountain resolution setting; the object's scale maps the grid onto its box.
//
// Its heal cooldown runs down in the world's ticks like any healer's. Its look is the drawing's: per
// frame, for each fountain,
//     if (!fountain.isDue(camera.position, camera.frustum, culledCount)) continue;
//     fountain.flow(seconds);  // the time the world ran in this frame
//     renderer.marchFountain(fountain, Liquid::surfaceStride(distance from the camera, level's least));
// and later in the frame renderer.drawFountain with the same stride. The surface is marched anew only
// when it is due (see kSurfaceInterval); in between the drawing keeps the last one.
class Liquid : public Healer {
public:
    // Farther than this from the camera a fountain is neither simulated nor drawn.
    static constexpr float kDrawDistance = 70.0f;
    // Farther than this the surface is marched in cells of two grid steps a side, beyond twice this
    // of four.
    static constexpr float kFineDistance = 15.0f;
    // The world's time the particles flow between two marchings of the surface: it follows them at
    // 15 pictures a second, every other frame at 30 frames a second.
    static constexpr float kSurfaceInterval = 1.0f / 15.0f;

    // The box runs from `origin` to `corner` (world units); `pointsPerUnit` is the grid resolution d
    // and `densityBuffer` the density grid the fountains share (the drawing's, see MetaBallSolver).
    // The scalar and vector arguments are accepted for the spawner's call and not used. Needs the
    // current context (builds the solver); the body is not added to any world.
    Liquid(const glm::vec3& corner, const glm::vec3& origin, float unusedScalar, const glm::vec3& unusedVector,
           float spawnRate, int pointsPerUnit, GLuint densityBuffer);
    // The body must have left its world by now; if it has not, it is deliberately left alive (with a
    // null user pointer) so the world never touches freed memory.
    ~Liquid() override;
    Liquid(const Liquid&) = delete;
    Liquid& operator=(const Liquid&) = delete;

    // Whether this frame simulates and draws the fountain: it must still flow (spawn rate above 0),
    // lie nearer than kDrawDistance to `cameraPosition` and its position inside every plane of
    // `frustum`. Only the frustum rejection counts in `culledCount`.
    bool isDue(const glm::vec3& cameraPosition, const Frustum& frustum, int& culledCount) const;
    // The same test for a fountain at `fountainPosition` flowing at `rate`.
    static bool isDue(const glm::vec3& fountainPosition, float rate, const glm::vec3& cameraPosition,
                      const Frustum& frustum, int& culledCount);
    // The look of a due fountain over `seconds` of the world's time: when visible (and `seconds` above
    // 0) its particles flow on.
    void flow(float seconds);
    // Whether its surface should be marched anew: it never was, or the particles have flowed for
    // kSurfaceInterval since.
    bool surfaceDue() const;
    // Writes its density grid (the shared one) from the particles for marching the surface now in
    // cells of `stride` grid steps, and starts the next interval.
    void prepareSurface(int stride = 1);

    // The grid steps per side of the cells the surface is marched in, seen from `distance`: the full
    // grid near, coarser where a cell of the full grid would cover less than half a pixel at low;
    // never fewer than `least`.
    static int surfaceStride(float distance, int least = 1);
    // The flow direction of cell (i, j, k) in a grid of `dimensions` points per axis: down, inward
    // at the side walls, and nothing but the inward z push on the floor.
    static glm::vec3 flowDirection(int i, int j, int k, const glm::ivec3& dimensions);

    std::shared_ptr<MetaBallSolver> solver;
    btRigidBody* rigidBody = nullptr;
    btBoxShape* collisionShape = nullptr;
    btDefaultMotionState* motionState = nullptr;
    glm::vec3 spawnPosition{0.0f};  // grid units
    glm::vec3 dimensions{0.0f};     // grid points per axis

private:
    bool surfaceMade = false;   // whether the surface was ever marched
    float sinceSurface = 0.0f;  // the particles' flowing time since then
};
