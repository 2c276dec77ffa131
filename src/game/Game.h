#pragma once

#include "effects/HudText.h"
#include "game/HudFeedback.h"
#include "game/HudRows.h"
#include "game/LookSettings.h"
#include "game/PauseState.h"
#include "game/PlayerInput.h"
#include "game/Replay.h"
#include "game/RoundSummary.h"
#include "game/TickClock.h"
#include "render/GraphicsQuality.h"
#include "world/World.h"

#include <glm/glm.hpp>

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ScoreBook;
class SoundEvents;
class WorldView;

// The switches a player flips while playing: F1 wireframe, F3 the HUD text, F4 the diagnostic rows,
// F8 frustum culling.
struct Switches {
    bool wireframe = false;
    bool showHudText = true;
    bool showDiagnostics = false;
    bool cullingEnabled = true;
};

// The game: a world, the view that draws it, and the frame that joins them. Each frame runs the
// world's fixed ticks that the steady clock says are due (none while paused, at most five however
// long the frame took), each with the player's input of that moment, then draws the world as it
// stands (blended between its last two ticks). Finished rounds go into the score book and are kept
// as the last replay; a recording or a replay runs through the same ticks.
//
// The entry point builds it (with the current context), calls frame() every frame and the operations
// below between frames (from the input callbacks), and finish() when the window closes. Tests and tools
// read it through world(), view() and the rows, and set up scenes with stage().
class Game {
public:
    struct Setup {
        int width = 960;
        int height = 540;
        GraphicsQuality quality = GraphicsQuality::forLevel(QualityLevel::High, 0);
        float brightness = 1.0f;
        int fountainGrid = 40;  // grid points per unit of the fountains' liquid
        float hudScale = 1.0f;  // the HUD's size against its own for the window (0.5 to 2)
        // The first world (and the difficulty of those after it). For a replay the replay's start is
        // used instead.
        World::Start start;
        // How the mouse looks about, and the field of view.
        LookSettings look;
        // The seeds of the worlds after the first (R); empty: freshSeed().
        std::function<unsigned int()> nextSeeds;
        // The steady clock the frames read; empty: steadyNanoseconds().
        NanoClock clock;
        std::string gameVersion = "unknown";
        // Where finished rounds are kept as a replay ("last.replay" beside the scores); empty: nowhere.
        std::string lastReplayPath;
        // Where the session is recorded (until its round ends, R or finish()); empty: not recorded.
        std::string recordPath;
        // Played instead of the player's input; the game stops (finished()) after its last tick.
        std::optional<Replay> replay;
        // The input of each tick of a world (by the world's tick count) instead of the player's, for
        // tests and tools that play scripted rounds; they are scored and kept like the player's.
        std::function<TickInput(uint64_t tick)> script;
        // False: frames run their ticks and draw nothing (tools and tests that need only the world, such
        // as playing a replay to check where it ends).
        bool draws = true;
        // Called with each world's landscape before its density grid is freed (World::Options).
        std::function<void(const AdvancedTerrain&)> onLandscape;
        // Where the "recorded" and "replayed" lines go; null: standard output.
        std::ostream* out = nullptr;
        // Where problems writing replays go; null: standard error.
        std::ostream* errors = nullptr;
        // Told as each step of building the first world begins ("landscape", "grass" ...), with the
        // share of the building done so far (a loading screen draws it).
        std::function<void(const char* step, float done)> onBuildStep;
    };

    // What the frame samples of the devices: the cursor's offset from the window's centre in pixels
    // (absolute: the cursor is never recentred) and the states of the PlayerKey keys.
    struct FrameInput {
        glm::vec2 cursor{0.0f};
        std::vector<int> keys;
    };

    explicit Game(const Setup& setup);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // One frame: the due ticks, then the drawing.
    void frame(const FrameInput& input);
    // Ends the session: an unfinished recording is written and told about.
    void finish();

    // Between frames. Fire and dash wait for the next tick (and do nothing while paused or replaying).
    void fire();
    void dash();
    // R: a new world after the ticks of the next frame (so a round ending in them is recorded first).
    void newWorld();
    // V, Q, G, P and the window.
    void recentreLook() { input.recentre(); }
    // How the mouse looks about and the field of view, from the next frame on (the options).
    void setLook(const LookSettings& look);
    const LookSettings& look() const { return input.lookSettings(); }
    // The difficulty of the worlds made from now on (R); the current world keeps its own.
    void setDifficulty(Difficulty difficulty) { setup.start.difficulty = difficulty; }
    Difficulty nextDifficulty() const { return setup.start.difficulty; }
    void toggleLamp() { lampFrozen = !lampFrozen; }
    // While a menu covers the world, the HUD, the crosshair and the "Paused" rows are not drawn.
    void setMenuShown(bool shown) { menuShown = shown; }
    bool menuIsShown() const { return menuShown; }
    // Another frame now would draw the picture the last one drew: the world is paused, no new one is
    // waiting and nothing on the HUD is fading.
    bool pictureStill() const { return paused.paused() && !newWorldAsked && !feedback.moving(); }
    // The HUD's size against its own for the window (0.5 to 2), from the next frame on.
    void setHudScale(float scale);
    void setQuality(const GraphicsQuality& quality);
    void resize(int width, int height);
    PauseState& pause() { return paused; }
    Switches& switches() { return flipped; }
    // Where the game's events are heard from now on (null: nowhere); the game keeps a share of it.
    void setSounds(std::shared_ptr<SoundEvents> sounds);
    // Where finished rounds are recorded (none by default); the game-over rows then show the best score.
    void setScoreBook(std::shared_ptr<ScoreBook> book);

    // Plays `replay` from now on instead of the player's input: its world is built and its ticks run at
    // the clock's pace. A session being recorded ends first.
    void play(const Replay& replay);
    // A replay ran out of ticks (the entry point then closes the window); whether it ended in the
    // state it was recorded in.
    bool finished() const { return replayDone; }
    bool replayMatched() const { return replayMatch; }

    // What tests and tools observe.
    const World& world() const { return *currentWorld; }
    const WorldView& view() const { return *worldView; }
    const Switches& switches() const { return flipped; }
    const PauseState& pause() const { return paused; }
    const HudRows& hudRows() const { return rows; }
    std::vector<HudText> visibleRows() const { return rows.visibleRows(paused.paused()); }
    // What the round so far held, as the round-end panel shows it.
    const RoundSummary& roundSummary() const { return summary; }
    // The rows and shapes the HUD showed in the last frame drawn.
    const std::vector<HudText>& overlayRows() const { return overlayText; }
    const HudShapes& overlayShapes() const { return overlay; }
    int fps() const { return framesPerSecond; }
    bool gameOver() const { return currentWorld->roundOver(); }
    glm::vec2 lookOffset() const { return input.lookOffset(); }
    const GraphicsQuality& graphicsQuality() const;
    // The inputs of the round so far, as a replay from its start.
    const Replay& recording() const { return taken; }
    // Changes the world between frames, as a tool or test sets up a scene; the drawing forgets the
    // last tick's poses so nothing is blended across the change. What the change makes happen (a shot
    // fired, a dash) is heard at once.
    void stage(const std::function<void(World&)>& change);
    // Called at the start of every scene pass and as each part of a frame begins (see WorldView).
    void onScenePass(std::function<void(const glm::vec4& clipPlane, float maxDistance)> hook);
    void onFramePart(std::function<void(const char* part)> hook);

private:
    static std::unique_ptr<WorldView> buildView(const Setup& setup, bool* cullingEnabled);
    World::Options worldOptions() const;
    void runTick();
    // The replay has run out: says where it ended.
    void endReplay();
    void tellSounds(const WorldEvents& events);
    void endRound();
    void endRecording();
    void startNewWorld();
    // `start`'s world in place of the current one, with a new round of rows and recording.
    void beginWorld(const World::Start& start);
    // After building a world or a level: neither that time nor drawing its first picture is play.
    void loaded();
    void drawFrame(float worldSeconds);
    // The HUD's rows and shapes of this frame: the corner rows with the moment's feedback, or the
    // round-end panel over a dimmed screen.
    void composeOverlay();
    std::ostream& out() const;
    std::ostream& errors() const;

    Setup setup;
    // Whether the first world is built (its steps are told while it is not); before the world itself.
    bool firstWorldBuilt = false;
    Switches flipped;
    PauseState paused;
    std::unique_ptr<WorldView> worldView;
    std::unique_ptr<World> currentWorld;
    HudRows rows;
    RoundSummary summary;
    HudFeedback feedback;
    std::vector<HudText> overlayText;
    HudShapes overlay;
    PlayerInput input;
    TickClock ticks;
    NanoClock clock;
    std::function<unsigned int()> nextSeeds;
    std::shared_ptr<SoundEvents> sounds;
    std::shared_ptr<ScoreBook> scoreBook;
    Replay taken;              // this round's inputs
    bool recordingOn = false;  // the --record file is still to be written
    size_t replayNext = 0;
    bool replayDone = false;
    bool replayMatch = true;
    bool newWorldAsked = false;
    bool lampFrozen = false;
    bool menuShown = false;
    bool toldReplayProblem = false;
    int framesPerSecond = 0;
    int64_t lastFrame = 0;
    bool framed = false;
    bool wasRunning = false;
    bool feedbackPaused = false;  // the next frame's time does not fade the feedback
    bool firstPicture = false;    // the next picture is the first after loaded()
    bool pictureShown = false;    // that picture was drawn in the last frame
};
