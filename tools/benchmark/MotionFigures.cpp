#include "MotionFigures.h"

#include "LakeView.h"
#include "audio/SoundEvents.h"
#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/PlayerKey.h"
#include "entities/Rabbit.h"
#include "game/Game.h"
#include "physics/Bodies.h"
#include "world/World.h"

#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// The game times of the rabbits' shots; each shot sets the shooter's countdown to 1.5 s again at
// once, in the tick that fired it.
class ShotWatch : public SoundEvents {
public:
    explicit ShotWatch(const Game& game) : game(game) {}
    void onShot(bool byPlayer, const glm::vec3&) override {
        if (byPlayer) return;
        times.push_back(game.world().seconds());
        if (rabbit) rabbit->shotCountdown = 1.5f;
    }
    const Game& game;
    std::shared_ptr<Rabbit> rabbit;
    std::vector<double> times;
};

// A game on a clock that moves by exactly 1/fps seconds per frame (to the nanosecond), with every
// enemy and diamond taken out of play, and the cat on open water.
class Stage {
public:
    Stage(unsigned seed, double fps) : fps(fps) {
        Game::Setup setup;
        setup.width = 320;
        setup.height = 180;
        setup.quality = GraphicsQuality::forLevel(QualityLevel::Low, 0);
        setup.start.seed = seed;
        setup.clock = [this] { return static_cast<int64_t>(std::llround(frames * 1e9 / this->fps)); };
        game = std::make_unique<Game>(setup);
        game->stage([](World& world) {
            for (auto& rabbit : world.enemiesForStaging().rabbits) takeOut(*rabbit, world);
            for (auto& flyer : world.enemiesForStaging().flyingRabbits) takeOut(*flyer, world);
            for (auto& item : world.itemsForStaging().items) takeOut(*item, world);
        });
        lake = findLakeView(game->world().physics());
    }

    // The cat `out` units onto the lake, facing further out, settled on the water.
    void placeCat(float out) {
        const glm::vec2 d = lake.towardsWater;
        const glm::vec3 spot = lake.shore + glm::vec3(d.x, 0.0f, d.y) * out + glm::vec3(0.0f, 2.0f, 0.0f);
        game->stage([&](World& world) { world.putCat(spot, std::atan2(-d.x, -d.y), 0.0f, false); });
        for (int i = 0; i < static_cast<int>(fps); ++i) frame({});
    }
    void frame(const std::vector<int>& held) {
        std::vector<int> keys(kPlayerKeyCount, 0);
        for (int key : held) keys[key] = 1;
        ++frames;
        game->frame(Game::FrameInput{glm::vec2(0.0f), keys});
        glfwPollEvents();
    }

    double fps;
    long frames = 0;
    std::unique_ptr<Game> game;
    LakeView lake;

private:
    static void takeOut(GameObject& object, World& world) {
        object.setVisible(false);
        physics::removeFromWorld(object.rigidBody, world.physics());
    }
};

double walkDistance(Stage& stage) {
    stage.placeCat(25.0f);
    const glm::vec3 start = stage.game->world().player()->position;
    const long frames = std::lround(stage.fps);
    for (long i = 0; i < frames; ++i) stage.frame({kKeyW});
    const glm::vec3 end = stage.game->world().player()->position;
    return glm::length(glm::vec2(end.x - start.x, end.z - start.z));
}

// Space held from standing: the highest the cat gets (holding space keeps a jump going while the
// ground is still in reach, so this is the tallest jump there is).
double jumpHeight(Stage& stage) {
    stage.placeCat(40.0f);
    const float start = stage.game->world().player()->position.y;
    float top = start;
    for (long i = 0; i < std::lround(stage.fps * 2.0); ++i) {
        stage.frame({kKeySpace});
        top = std::max(top, stage.game->world().player()->position.y);
    }
    return top - start;
}

// A rabbit 3.5 units in front of the cat on the water, its countdown set to 1.5 s after every shot;
// the mean time between its shots.
double shotInterval(Stage& stage) {
    stage.placeCat(30.0f);
    Game& game = *stage.game;
    auto watch = std::make_shared<ShotWatch>(game);
    game.setSounds(watch);
    std::shared_ptr<Rabbit> rabbit;
    game.stage([&](World& world) {
        EnemyManager& enemies = world.enemiesForStaging();
        const Player& cat = *world.player();
        rabbit = std::make_shared<Rabbit>(enemies.rabbitMeshes, &enemies.hooks);
        // At the cat's own height on the water, where it never moves: it only turns, watches and shoots.
        rabbit->setPosition(cat.position + glm::vec3(cat.getModelMatrix() * glm::vec4(0, 0, -3.5f, 0)));
        enemies.rabbits.push_back(rabbit);
        world.physics()->addRigidBody(rabbit->rigidBody);
        rabbit->shotCountdown = 1.5f;
    });
    watch->rabbit = rabbit;
    const long frames = std::lround(stage.fps * 8.0);
    for (long i = 0; i < frames; ++i) stage.frame({});
    game.setSounds(nullptr);
    if (watch->times.size() < 2) return 0.0;
    return (watch->times.back() - watch->times.front()) / static_cast<double>(watch->times.size() - 1);
}

}  // namespace

std::vector<MotionFigures> measureMotion(GLFWwindow*, unsigned seed, const std::vector<double>& rates) {
    std::vector<MotionFigures> figures;
    for (double fps : rates) {
        Stage stage(seed, fps);
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
        std::fflush(stdout);
        figures.push_back(f);
    }
    return figures;
}
