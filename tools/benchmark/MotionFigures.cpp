#include "MotionFigures.h"

#include "LakeView.h"
#include "app/Globals.h"
#include "audio/SoundEvents.h"
#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/PlayerKey.h"
#include "entities/Rabbit.h"
#include "game/Game.h"
#include "physics/Bodies.h"
#include "render/Camera.h"

#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// The shots of the rabbits, with the game time they left at.
class ShotWatch : public SoundEvents {
public:
    explicit ShotWatch(const double& now) : now(now) {}
    void onShot(bool byPlayer, const glm::vec3&) override {
        if (!byPlayer) times.push_back(now);
    }
    const double& now;
    std::vector<double> times;
};

// A game on a clock that moves by exactly 1/fps seconds per frame (whole milliseconds, the rest
// carried), with no enemy and no diamond left, and the cat on open water.
class Stage {
public:
    Stage(GLFWwindow* window, unsigned seed, double fps) : fps(fps) {
        game = std::make_unique<Game>(
            16.0f / 9.0f, 320, 180, [this] { return static_cast<int32_t>(std::llround(frames * 1000.0 / this->fps)); },
            [seed] { return seed; }, GraphicsQuality::forLevel(QualityLevel::Low, 0));
        gameInstance = game.get();
        game->init();
        game->enemyManager->clear(game->dynamicsWorld);
        for (const auto& item : game->itemManager->items)
            physics::removeFromWorld(item->rigidBody, game->dynamicsWorld);
        lake = findLakeView(game->dynamicsWorld);
        this->window = window;
    }
    ~Stage() { gameInstance = nullptr; }

    // The cat `out` units onto the lake, facing further out, settled on the water.
    void placeCat(float out) {
        Player& player = *game->player;
        const glm::vec2 d = lake.towardsWater;
        player.setPosition(lake.shore + glm::vec3(d.x, 0.0f, d.y) * out + glm::vec3(0.0f, 2.0f, 0.0f));
        player.setRotation(glm::vec3(0.0f, std::atan2(-d.x, -d.y), 0.0f));
        player.stop();
        for (int i = 0; i < static_cast<int>(fps); ++i) frame({});
    }
    void frame(const std::vector<int>& held) {
        std::vector<int> keys(kPlayerKeyCount, 0);
        for (int key : held) keys[key] = 1;
        ++frames;
        game->update(0.0f, 0.0f, keys);
        glfwPollEvents();
    }
    double seconds() const { return frames / fps; }

    double fps;
    long frames = 0;
    std::unique_ptr<Game> game;
    LakeView lake;
    GLFWwindow* window = nullptr;
};

double walkDistance(Stage& stage) {
    stage.placeCat(25.0f);
    const glm::vec3 start = stage.game->player->position;
    const long frames = std::lround(stage.fps);
    for (long i = 0; i < frames; ++i) stage.frame({kKeyW});
    const glm::vec3 end = stage.game->player->position;
    return glm::length(glm::vec2(end.x - start.x, end.z - start.z));
}

double jumpHeight(Stage& stage) {
    stage.placeCat(40.0f);
    const float start = stage.game->player->position.y;
    float top = start;
    stage.frame({kKeySpace});
    for (long i = 0; i < std::lround(stage.fps * 2.0); ++i) {
        top = std::max(top, stage.game->player->position.y);
        stage.frame({});
    }
    return top - start;
}

// A rabbit 3.5 units in front of the cat on the water (close enough to stand and shoot), its countdown set to
// 1.5 s after every shot; the mean time between its shots.
double shotInterval(Stage& stage) {
    stage.placeCat(30.0f);
    Game& game = *stage.game;
    double now = 0.0;
    auto watch = std::make_shared<ShotWatch>(now);
    game.setSounds(watch);
    const glm::vec3 ahead = glm::vec3(game.player->getModelMatrix() * glm::vec4(0, 0, -3.5f, 0));
    EnemyManager& enemies = *game.enemyManager;
    const glm::vec3 centre = game.player->position + ahead;
    auto rabbit = std::make_shared<Rabbit>(enemies.rabbitMeshes, &enemies.hooks);
    // At the cat's own height on the water, where it never moves: it only turns, watches and shoots.
    rabbit->setPosition(centre);
    enemies.rabbits.push_back(rabbit);
    game.dynamicsWorld->addRigidBody(rabbit->rigidBody);
    rabbit->shotCountdown = 1.5f;
    size_t seen = 0;
    const long frames = std::lround(stage.fps * 8.0);
    for (long i = 0; i < frames; ++i) {
        now = stage.seconds();
        stage.frame({});
        if (watch->times.size() > seen) {
            seen = watch->times.size();
            rabbit->shotCountdown = 1.5f;
        }
    }
    game.setSounds(nullptr);
    if (watch->times.size() < 2) return 0.0;
    return (watch->times.back() - watch->times.front()) / static_cast<double>(watch->times.size() - 1);
}

}  // namespace

std::vector<MotionFigures> measureMotion(GLFWwindow* window, unsigned seed, const std::vector<double>& rates) {
    std::vector<MotionFigures> figures;
    for (double fps : rates) {
        Stage stage(window, seed, fps);
        if (!stage.lake.found) {
            std::printf("Motion: no open water on landscape %u\n", seed);
            return figures;
        }
        MotionFigures f;
        f.fps = fps;
        f.walkDistance = walkDistance(stage);
        f.jumpHeight = jumpHeight(stage);
        f.shotInterval = shotInterval(stage);
        std::printf("Motion at %5.1f fps: walk in 1 s %.3f units, jump %.3f units, 1.5 s shot countdown %.3f s\n", fps,
                    f.walkDistance, f.jumpHeight, f.shotInterval);
        figures.push_back(f);
    }
    return figures;
}
