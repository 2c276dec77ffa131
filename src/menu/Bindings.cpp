#include "menu/Bindings.h"

#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

struct ActionText {
    const char* name;
    const char* key;
    int input;
};

const ActionText kActions[kActionCount] = {
    {"Walk forward", "forward", GLFW_KEY_W},
    {"Turn left", "turn_left", GLFW_KEY_A},
    {"Walk backward", "back", GLFW_KEY_S},
    {"Turn right", "turn_right", GLFW_KEY_D},
    {"Jump", "jump", GLFW_KEY_SPACE},
    {"Strafe / turn with the mouse", "strafe", GLFW_KEY_LEFT_SHIFT},
    {"Shoot", "fire", Bindings::kMouse + GLFW_MOUSE_BUTTON_LEFT},
    {"Dash", "dash", Bindings::kMouse + GLFW_MOUSE_BUTTON_RIGHT},
    {"New world", "new_world", GLFW_KEY_R},
    {"Recentre the look", "recentre", GLFW_KEY_V},
    {"Freeze the lamp", "lamp", GLFW_KEY_Q},
    {"Next graphics level", "quality", GLFW_KEY_G},
    {"Pause", "pause", GLFW_KEY_P},
};

// Keys the game keeps for itself, whatever the bindings.
const std::pair<int, const char*> kKept[] = {
    {GLFW_KEY_ESCAPE, "quitting"},    {GLFW_KEY_F1, "wireframe"}, {GLFW_KEY_F3, "the HUD text"},
    {GLFW_KEY_F4, "the diagnostics"}, {GLFW_KEY_F8, "culling"},   {GLFW_KEY_F11, "full screen"},
};

const std::pair<int, const char*> kNamedKeys[] = {
    {GLFW_KEY_SPACE, "Space"},
    {GLFW_KEY_APOSTROPHE, "'"},
    {GLFW_KEY_COMMA, ","},
    {GLFW_KEY_MINUS, "-"},
    {GLFW_KEY_PERIOD, "."},
    {GLFW_KEY_SLASH, "/"},
    {GLFW_KEY_SEMICOLON, ";"},
    {GLFW_KEY_EQUAL, "="},
    {GLFW_KEY_LEFT_BRACKET, "["},
    {GLFW_KEY_BACKSLASH, "\\"},
    {GLFW_KEY_RIGHT_BRACKET, "]"},
    {GLFW_KEY_GRAVE_ACCENT, "`"},
    {GLFW_KEY_ENTER, "Enter"},
    {GLFW_KEY_TAB, "Tab"},
    {GLFW_KEY_BACKSPACE, "Backspace"},
    {GLFW_KEY_INSERT, "Insert"},
    {GLFW_KEY_DELETE, "Delete"},
    {GLFW_KEY_RIGHT, "Right"},
    {GLFW_KEY_LEFT, "Left"},
    {GLFW_KEY_DOWN, "Down"},
    {GLFW_KEY_UP, "Up"},
    {GLFW_KEY_PAGE_UP, "Page Up"},
    {GLFW_KEY_PAGE_DOWN, "Page Down"},
    {GLFW_KEY_HOME, "Home"},
    {GLFW_KEY_END, "End"},
    {GLFW_KEY_CAPS_LOCK, "Caps Lock"},
    {GLFW_KEY_LEFT_SHIFT, "Left Shift"},
    {GLFW_KEY_LEFT_CONTROL, "Left Ctrl"},
    {GLFW_KEY_LEFT_ALT, "Left Alt"},
    {GLFW_KEY_RIGHT_SHIFT, "Right Shift"},
    {GLFW_KEY_RIGHT_CONTROL, "Right Ctrl"},
    {GLFW_KEY_RIGHT_ALT, "Right Alt"},
    {Bindings::kMouse + GLFW_MOUSE_BUTTON_LEFT, "Mouse Left"},
    {Bindings::kMouse + GLFW_MOUSE_BUTTON_RIGHT, "Mouse Right"},
    {Bindings::kMouse + GLFW_MOUSE_BUTTON_MIDDLE, "Mouse Middle"},
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

Bindings::Bindings() {
    for (int a = 0; a < kActionCount; ++a) inputs[a] = kActions[a].input;
}

std::optional<Action> Bindings::action(int input) const {
    if (input == kNone) return std::nullopt;
    for (int a = 0; a < kActionCount; ++a) {
        if (inputs[a] == input) return static_cast<Action>(a);
    }
    return std::nullopt;
}

bool Bindings::bind(Action to, int input, std::string& refusal) {
    for (const auto& [key, use] : kKept) {
        if (key == input) {
            refusal = inputName(input) + " is kept for " + use;
            return false;
        }
    }
    if (input == kNone || inputName(input).empty()) {
        refusal = "that is no key the game knows";
        return false;
    }
    const std::optional<Action> holder = action(input);
    if (holder && *holder != to) {
        refusal = inputName(input) + " is already bound to " + actionName(*holder);
        return false;
    }
    inputs[static_cast<int>(to)] = input;
    return true;
}

const char* Bindings::actionName(Action action) { return kActions[static_cast<int>(action)].name; }

const char* Bindings::settingKey(Action action) { return kActions[static_cast<int>(action)].key; }

std::string Bindings::inputName(int input) {
    if (input == kNone) return "none";
    if ((input >= GLFW_KEY_A && input <= GLFW_KEY_Z) || (input >= GLFW_KEY_0 && input <= GLFW_KEY_9))
        return std::string(1, static_cast<char>(input));  // GLFW's codes for these are their ASCII
    if (input >= GLFW_KEY_F1 && input <= GLFW_KEY_F25) return "F" + std::to_string(input - GLFW_KEY_F1 + 1);
    if (input >= GLFW_KEY_KP_0 && input <= GLFW_KEY_KP_9) return "Keypad " + std::to_string(input - GLFW_KEY_KP_0);
    if (input >= kMouse + GLFW_MOUSE_BUTTON_4 && input <= kMouse + GLFW_MOUSE_BUTTON_LAST)
        return "Mouse " + std::to_string(input - kMouse + 1);
    for (const auto& [key, name] : kNamedKeys) {
        if (key == input) return name;
    }
    return "";
}

std::optional<int> Bindings::parseInput(const std::string& name) {
    const std::string wanted = lower(name);
    if (wanted.empty()) return std::nullopt;
    const int candidates[][2] = {{GLFW_KEY_SPACE, GLFW_KEY_LAST}, {kMouse, kMouse + GLFW_MOUSE_BUTTON_LAST}};
    for (const auto& range : candidates) {
        for (int input = range[0]; input <= range[1]; ++input) {
            const std::string known = inputName(input);
            if (!known.empty() && lower(known) == wanted) return input;
        }
    }
    return std::nullopt;
}
