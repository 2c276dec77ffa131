#pragma once

// Process-wide switches and counters. One thread touches them: the frame loop and the GLFW
// callbacks, which run inside glfwPollEvents between two frames.

class Game;

extern Game* gameInstance;     // the one Game, set before Game::init runs
extern bool wireframe;         // F1: polygon mode is GL_LINE
extern bool cullingEnabled;    // F8: frustum culling of batched objects and water tiles
extern bool showHudText;       // F3: HUD text drawn at the end of the frame
extern bool showDiagnostics;   // F4: frame-rate and culled-object HUD rows filled
extern int culledObjectCount;  // objects skipped by culling in the current frame
