#pragma once

class Game;

// Builds the parts of the game's scene that stay from one world to the next: the sun, the water
// tile, the lamp, the crosshair and the sparkle trail. Each needs the current context; the game calls
// them once, from init, in its order.
class SceneSetUp {
public:
    explicit SceneSetUp(Game& game) : game(game) {}

    // The sun, lighting the scene, casting the shadows and lighting the fountains.
    void createSun();
    // The water tile, with the water images as its textures and its body in the world.
    void createWater();
    // The lamp above the player; sun and lamp into the landscape, water and textured programs.
    void createLamp();
    void createCrosshair();
    // The sparkle trail under the player.
    void createTrail();

private:
    Game& game;
};
