#include "game/Game.h"

#include "audio/SoundEvents.h"
#include "effects/BulletDebugDrawer.h"
#include "entities/Player.h"
#include "fluid/Liquid.h"
#include "fluid/MetaBallDensityShader.h"
#include "fluid/MetaBallSolver.h"
#include "fluid/MetaFluidParticleShader.h"
#include "game/ScoreBook.h"
#include "render/Camera.h"
#include "view/WorldView.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cmath>
#include <iostream>
#include <vector>

namespace {

// The fountains the game's worlds have: liquid ones drawn through the view's shared density grid.
ItemManager::FountainFactory liquidFountains(int gridPoints, GLuint densityBuffer) {
    // The fountains' programs, held from the first fountain on so that later worlds share them too.
    auto programs = std::make_shared<std::vector<std::shared_ptr<ShaderProgram>>>();
    return [gridPoints, densityBuffer, programs](const glm::vec3&) {
        auto fountain = std::make_shared<Liquid>(glm::vec3(1.0f), glm::vec3(0.0f), 6.0f, glm::vec3(0.0f), 10.0f,
                                                 gridPoints, densityBuffer);
        if (programs->empty()) *programs = {fountain->solver->densityShader, fountain->solver->particleShader};
        return ItemManager::SpawnedFountain{fountain, fountain->rigidBody};
    };
}

// One of the first world's steps: what the loading screen says and the share of the building done
// when it begins (on a two-core machine without a GPU).
struct BuildStep {
    const char* name;
    float share;
};

// The step the world calls `step`; anything else is the shaders, which come first.
BuildStep buildStep(const std::string& step) {
    if (step == "landscape") return {"Shaping the landscape", 0.2f};
    if (step == "grass") return {"Growing the grass", 0.6f};
    if (step == "spawn") return {"Placing diamonds, fountains and rabbits", 0.75f};
    return {"Compiling shaders", 0.0f};
}

}  // namespace

std::unique_ptr<WorldView> Game::buildView(const Setup& setup, bool* cullingEnabled) {
    if (setup.onBuildStep) {
        const BuildStep shaders = buildStep("shaders");
        setup.onBuildStep(shaders.name, shaders.share);
    }
    return std::make_unique<WorldView>(
        WorldView::Setup{setup.width, setup.height, setup.quality, setup.brightness, cullingEnabled});
}

Game::Game(const Setup& gameSetup)
    : setup(gameSetup),
      worldView(buildView(setup, &flipped.cullingEnabled)),
      currentWorld(std::make_unique<World>(setup.replay ? setup.replay->start : setup.start, worldOptions())),
      rows(setup.width, setup.height, setup.hudScale,
           HudLayout::Font{[this](const std::string& text, float scale) { return worldView->textWidth(text, scale); },
                           worldView->textAscent(), worldView->textDescent()}),
      ticks(World::kTicksPerSecond),
      clock(setup.clock ? setup.clock : NanoClock(steadyNanoseconds)),
      nextSeeds(setup.nextSeeds ? setup.nextSeeds : std::function<unsigned int()>(freshSeed)),
      sounds(std::make_shared<SoundEvents>()) {
    firstWorldBuilt = true;
    worldView->adopt(*currentWorld);
    setLook(setup.look);
    taken = Replay::begin(setup.gameVersion, currentWorld->start());
    recordingOn = !setup.recordPath.empty() && !setup.replay;
    composeOverlay();
    loaded();  // the first world
}

Game::~Game() = default;

World::Options Game::worldOptions() const {
    World::Options options;
    options.terrainShaderDefines = setup.quality.terrainShaderDefines();
    options.terrainTextureHalvings = setup.quality.terrainTextureHalvings;
    options.waterShaderDefines = setup.quality.waterShaderDefines();
    options.makeFountain = liquidFountains(setup.fountainGrid, worldView->fountainDensityBuffer());
    options.debugDrawer = worldView->debugDrawer();
    // Only the first world is built behind a loading screen; R builds the next ones in play.
    if (setup.onBuildStep) {
        options.onStep = [this](const char* step) {
            if (firstWorldBuilt) return;
            const BuildStep next = buildStep(step);
            setup.onBuildStep(next.name, next.share);
        };
    }
    options.onLandscape = setup.onLandscape;
    return options;
}

std::ostream& Game::out() const { return setup.out ? *setup.out : std::cout; }

std::ostream& Game::errors() const { return setup.errors ? *setup.errors : std::cerr; }

const GraphicsQuality& Game::graphicsQuality() const { return worldView->quality(); }

void Game::setSounds(std::shared_ptr<SoundEvents> events) {
    sounds = events ? std::move(events) : std::make_shared<SoundEvents>();
}

void Game::setScoreBook(std::shared_ptr<ScoreBook> book) { scoreBook = std::move(book); }

void Game::fire() {
    if (!paused.paused() && !setup.replay) input.fire();
}

void Game::dash() {
    if (!paused.paused() && !setup.replay) input.dash();
}

void Game::newWorld() {
    if (!setup.replay) newWorldAsked = true;
}

void Game::setQuality(const GraphicsQuality& quality) {
    worldView->setQuality(quality, *currentWorld);
    feedback.showLevel(std::string("Graphics: ") + qualityName(quality.level));
    feedbackPaused = true;  // the rebuild's time must not eat into the name's two seconds
    loaded();               // rebuilding the level's programs and targets
}

void Game::setHudScale(float scale) {
    rows.setHudScale(scale);
    composeOverlay();
}

void Game::setLook(const LookSettings& look) {
    input.setLook(look);
    worldView->setFieldOfView(look.fieldOfView);
}

void Game::resize(int width, int height) {
    if (width <= 0 || height <= 0 || (width == worldView->width() && height == worldView->height())) return;
    worldView->resize(width, height, *currentWorld);
    rows.layout(width, height);
    // The cursor offsets count from the window's centre, which moves with its size, and the windowing
    // system may move the hidden cursor as well: the next frames take them as the new rest position.
    input.settle(2);
    input.limitLook(worldView->lookLimit());
}

void Game::stage(const std::function<void(World&)>& change) {
    const WorldEvents before = currentWorld->events();
    change(*currentWorld);
    currentWorld->forgetPoses();
    const WorldEvents& after = currentWorld->events();
    if (after.size() > before.size()) tellSounds(WorldEvents(after.begin() + long(before.size()), after.end()));
}

void Game::onScenePass(std::function<void(const glm::vec4&, float)> hook) { worldView->onScenePass(std::move(hook)); }

void Game::onFramePart(std::function<void(const char*)> hook) { worldView->onFramePart = std::move(hook); }

void Game::frame(const FrameInput& frameInput) {
    const int64_t now = clock();
    // Feedback fades in real time; a stall fades it at once rather than skipping to another state.
    if (framed && now > lastFrame && !feedbackPaused)
        feedback.advance(static_cast<float>(std::min(double(now - lastFrame) / 1e9, 1.0)));
    feedbackPaused = false;
    if (framed && now > lastFrame) framesPerSecond = static_cast<int>(std::lround(1e9 / double(now - lastFrame)));
    lastFrame = now;
    framed = true;

    const bool running = !paused.paused();
    sounds->setPaused(!running);
    input.frame(frameInput.cursor, frameInput.keys, running, worldView->lookLimit());
    int due = 0;
    if (running && !replayDone) {
        // The first frame after a pause counts from now: the pause is not play. So does the first
        // after a world's first picture (see loaded()), whose drawing ends in the buffer swap.
        if (!wasRunning || pictureShown)
            ticks.restart(now);
        else
            due = ticks.advance(now);
    }
    wasRunning = running;
    pictureShown = false;
    int ran = 0;
    for (; ran < due && !replayDone; ++ran) runTick();
    if (newWorldAsked) startNewWorld();

    rows.update(currentWorld->round(), currentWorld->roundOver(), framesPerSecond, flipped.showDiagnostics);
    if (setup.draws) {
        composeOverlay();
        drawFrame(static_cast<float>(ran) * World::kTickSeconds);
        // Shown from the next frame on: this frame's count is known only now.
        rows.updateCulledRow(worldView->culledCount(), flipped.cullingEnabled, flipped.showDiagnostics);
    }
    pictureShown = firstPicture && setup.draws;  // see loaded()
    firstPicture = false;
}

void Game::runTick() {
    TickInput tick;
    if (setup.replay) {
        if (replayNext == setup.replay->inputs.size()) {
            endReplay();  // one of no ticks at all
            return;
        }
        tick = setup.replay->inputs[replayNext++];
    } else if (setup.script) {
        tick = setup.script(currentWorld->ticks());
    } else {
        tick = input.take(worldView->aimDirection(input.lookOffset()));
    }
    const bool recordingRound = !currentWorld->roundOver();
    if (recordingRound) taken.inputs.push_back(tick);
    currentWorld->tick(tick);
    tellSounds(currentWorld->events());
    summary.take(currentWorld->events());
    feedback.take(currentWorld->events());
    for (const WorldEvent& event : currentWorld->events()) {
        if (event.kind == WorldEvent::Kind::TimeUp || event.kind == WorldEvent::Kind::HealthGone) endRound();
    }
    if (setup.replay && replayNext == setup.replay->inputs.size()) endReplay();
}

void Game::endReplay() {
    replayDone = true;
    const uint64_t state = currentWorld->stateHash();
    replayMatch = state == setup.replay->endState;
    out() << "replayed " << replayNext << " ticks, state " << World::hex(state) << std::endl;
}

void Game::tellSounds(const WorldEvents& events) {
    for (size_t i = 0; i < events.size(); ++i) {
        const WorldEvent& event = events[i];
        switch (event.kind) {
            case WorldEvent::Kind::PlayerShot: sounds->onShot(true, event.at); break;
            case WorldEvent::Kind::EnemyShot: sounds->onShot(false, event.at); break;
            case WorldEvent::Kind::PlayerHit: sounds->onPlayerHit(); break;
            case WorldEvent::Kind::RabbitHit: {
                // A last hit is told with the hit, not after it.
                const bool fell = i + 1 < events.size() && events[i + 1].kind == WorldEvent::Kind::RabbitFell;
                sounds->onRabbitHit(event.at, fell);
                break;
            }
            case WorldEvent::Kind::RabbitFell: break;
            case WorldEvent::Kind::Diamond: sounds->onDiamond(event.at); break;
            case WorldEvent::Kind::Heal: sounds->onHeal(event.at); break;
            case WorldEvent::Kind::Jump: sounds->onJump(); break;
            case WorldEvent::Kind::Dash: sounds->onDash(); break;
            case WorldEvent::Kind::TimeUp: sounds->onRoundOver(false); break;
            case WorldEvent::Kind::HealthGone: sounds->onRoundOver(true); break;
        }
    }
}

void Game::endRound() {
    const GameStateManager& round = currentWorld->round();
    std::string best;
    std::vector<int> lastScores;
    taken.endState = currentWorld->stateHash();
    const int lengthMs = currentWorld->start().roundSeconds * 1000;
    const int seconds = (lengthMs - round.timeLeft + 500) / 1000;
    summary.lasted(seconds);
    // A round played back is no new round: it is neither scored nor kept again.
    if (!setup.replay) {
        if (scoreBook) {
            const bool beaten = scoreBook->record(round.score, seconds);
            best = beaten ? "New best score!" : "Best score: " + std::to_string(scoreBook->best());
            const auto& recent = scoreBook->recent();
            for (auto r = recent.rbegin(); r != recent.rend() && lastScores.size() < 5; ++r)
                lastScores.push_back(r->score);
        }
        std::string why;
        if (!setup.lastReplayPath.empty() && !taken.write(setup.lastReplayPath, why) && !toldReplayProblem) {
            errors() << "Cannot keep the last round as " << setup.lastReplayPath << ": " << why << std::endl;
            toldReplayProblem = true;
        }
        endRecording();
    }
    rows.endRound(round, summary, best, lastScores);
}

void Game::endRecording() {
    if (!recordingOn) return;
    recordingOn = false;
    if (!currentWorld->roundOver()) taken.endState = currentWorld->stateHash();
    std::string why;
    if (!taken.write(setup.recordPath, why)) {
        errors() << "Cannot write the recording " << setup.recordPath << ": " << why << std::endl;
        return;
    }
    out() << "recorded " << taken.inputs.size() << " ticks, state " << World::hex(taken.endState) << std::endl;
}

void Game::finish() {
    endRecording();
    // A replay stopped early says how far it got.
    if (setup.replay && !replayDone)
        out() << "replayed " << replayNext << " ticks, state " << World::hex(currentWorld->stateHash()) << std::endl;
}

void Game::startNewWorld() {
    newWorldAsked = false;
    endRecording();
    // The cat faces the new world's most open way; the eye keeps its pitch, as in the last world.
    World::Start next = currentWorld->start();
    next.seed = nextSeeds();
    next.yaw = 0.0f;
    next.difficulty = setup.start.difficulty;
    next.pitch = currentWorld->eye().rotation.x;
    beginWorld(next);
    sounds->onNewWorld();
}

void Game::play(const Replay& replay) {
    endRecording();
    newWorldAsked = false;
    setup.replay = replay;
    replayNext = 0;
    replayDone = false;
    replayMatch = true;
    beginWorld(replay.start);
}

void Game::beginWorld(const World::Start& start) {
    currentWorld->restart(start);
    worldView->worldRestarted(*currentWorld);
    taken = Replay::begin(setup.gameVersion, start);
    rows.startRound();
    summary.clear();
    feedback.clear();
#if defined(__GLIBC__)
    // A new world frees tens of megabytes of grid, triangle and collision data; hand them back to the
    // system instead of letting the C library keep them, so resets do not grow the process.
    malloc_trim(0);
#endif
    loaded();  // building the new world
}

void Game::loaded() {
    // Loading is not play: the ticks count from now, and again from the frame after the next picture.
    // That one is where the driver compiles and uploads what it left for first use (a tenth of a second
    // and more on a software renderer, much of it in the buffer swap after the frame), which must not
    // be played out in a burst of ticks either.
    ticks.restart(clock());
    firstPicture = true;
}

void Game::drawFrame(float worldSeconds) {
    const glm::vec3 aim = worldView->aimDirection(input.lookOffset());
    WorldView::Frame frame;
    frame.worldSeconds = worldSeconds;
    frame.lookOffset = input.lookOffset();
    frame.aimOnTerrain = currentWorld->aim(aim).onTerrain;
    frame.lampFrozen = lampFrozen;
    frame.showHud = flipped.showHudText && !menuShown;
    frame.showCrosshair = !rows.panelShown() && !menuShown;
    frame.crosshairScale = rows.geometry().crosshairScale();
    frame.firstPicture = firstPicture;
    const PoseBlend blended = currentWorld->blend(ticks.alpha());
    worldView->draw(*currentWorld, frame);
    // Heard from where it is seen.
    sounds->followCamera(worldView->camera().getModelMatrix());
}

void Game::composeOverlay() {
    overlayText = rows.visibleRows(paused.paused() && !menuShown);
    overlay = HudShapes();
    const HudLayout& layout = rows.geometry();
    HudFeedback::Scene scene;
    scene.crosshair = glm::vec2(layout.width(), layout.height()) / 2.0f + input.lookOffset();
    scene.cat = currentWorld->player()->position;
    scene.ahead = -glm::vec3(currentWorld->eye().getRotationMatrix()[2]);
    scene.scoreRow = rows.rows()[2];
    if (!rows.panelShown()) {
        overlayText[1] = feedback.healthRow(overlayText[1], currentWorld->round().health);
        feedback.draw(layout, scene, overlay, overlayText);
    } else {
        // The hit that ended the round still flashes under the panel; the rest of the moment goes.
        std::vector<HudText> unused;
        feedback.draw(layout, scene, overlay, unused);
        const HudLayout::Box& box = rows.backdrop();
        const float w = static_cast<float>(layout.width()), h = static_cast<float>(layout.height());
        overlay.rect({0.0f, 0.0f}, {w, h}, {0.02f, 0.03f, 0.05f, 0.4f});
        const float rim = 3.0f * layout.unit();
        overlay.rect({box.left - rim, box.bottom - rim}, {box.right + rim, box.top + rim}, {0.95f, 0.8f, 0.45f, 0.55f});
        overlay.rect({box.left, box.bottom}, {box.right, box.top}, {0.06f, 0.07f, 0.09f, 0.82f});
    }
    worldView->setRows(overlayText, overlay);
}
