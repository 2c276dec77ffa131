#pragma once

#include <array>
#include <optional>
#include <string>

// What a key or mouse button does in play. The pad has its own fixed map; F1, F3, F4, F8, F11 and
// Escape keep their meaning and are bound to nothing here.
enum class Action {
    Forward,
    TurnLeft,
    Back,
    TurnRight,
    Jump,
    Strafe,
    Fire,
    Dash,
    NewWorld,
    Recentre,
    Lamp,
    Quality,
    Pause
};
constexpr int kActionCount = 13;

// One input per action: a GLFW key code, or kMouse + a GLFW mouse button. Each input does at most one
// thing: a binding another action holds is refused, saying which action holds it.
class Bindings {
public:
    static constexpr int kNone = -1;
    static constexpr int kMouse = 1000;

    // The keys the game always had: W A S D, space, left shift, the two mouse buttons, R, V, Q, G, P.
    Bindings();

    int input(Action action) const { return inputs[static_cast<int>(action)]; }
    // The action `input` does, if any.
    std::optional<Action> action(int input) const;
    // Binds `input` to `action`. False, with the reason in `refusal` ("Space is Jump's key"), when
    // another action holds it or the game keeps it for itself; nothing changes then.
    bool bind(Action action, int input, std::string& refusal);
    // Leaves `action` without an input.
    void unbind(Action action) { inputs[static_cast<int>(action)] = kNone; }
    void reset() { *this = Bindings(); }
    bool operator==(const Bindings& other) const { return inputs == other.inputs; }

    // "Walk forward", as the menus name it.
    static const char* actionName(Action action);
    // "forward", its key in [keys].
    static const char* settingKey(Action action);
    // "W", "Space", "Left Shift", "Mouse Left", "F5"; "none" for kNone.
    static std::string inputName(int input);
    // The input named `name` (any letter case), or nothing.
    static std::optional<int> parseInput(const std::string& name);

private:
    std::array<int, kActionCount> inputs;
};
