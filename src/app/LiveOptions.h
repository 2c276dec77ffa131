#pragma once

struct GLFWwindow;
struct Settings;
class Captions;
class FrameLimiter;
class FullScreen;
class Game;
class GameAudio;

// What the options change while the game runs; any of them may be missing (null).
struct LiveTargets {
    Game* game = nullptr;
    GLFWwindow* window = nullptr;
    FullScreen* fullScreen = nullptr;
    FrameLimiter* limiter = nullptr;
    GameAudio* audio = nullptr;
    Captions* captions = nullptr;
};

// Applies at once what differs between `was` and `now`: the look (sensitivity, invert Y, field of
// view, mouse mode), the graphics level and render scale, the frame limit, vertical sync, full
// screen, the volume and the wind, the HUD's scale, the captions, and the difficulty (from the next
// world on). The bindings need nothing: the callbacks read them from the settings in effect.
void applyOptions(const Settings& was, const Settings& now, const LiveTargets& targets);
