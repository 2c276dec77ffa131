#pragma once

#include "render/PixelRect.h"

#include <imgui.h>

#include <optional>
#include <vector>

// A copy of what ImGui made to draw in one frame (its vertices, indices and commands), kept to tell
// whether the next frame shows anything else, and where.
class DrawnMenu {
public:
    // Takes a copy of `data` (a frame made by ImGui::Render).
    void copy(const ImDrawData& data);
    // Holds no frame, as after a frame that drew nothing.
    void clear();
    bool held() const { return holding; }
    void swap(DrawnMenu& other) noexcept;
    // The same frame: every vertex, index and command alike.
    bool operator==(const DrawnMenu& other) const;

    // The framebuffer pixels where `after` may show something other than this frame drawn over the
    // same picture: empty when nothing differs, none when all of it may (nothing held to compare
    // with, another display size or scale, another set of windows, a draw callback, a list too long
    // for 16-bit indices).
    std::optional<PixelRect> changesTo(const DrawnMenu& after) const;

private:
    struct Command {
        ImVec4 clip;
        ImTextureID texture;
        unsigned int vertexOffset;
        unsigned int indexOffset;
        unsigned int elementCount;
        bool callback;
    };
    struct List {
        std::vector<ImDrawVert> vertices;
        std::vector<ImDrawIdx> indices;
        std::vector<Command> commands;
    };
    struct Bounds;

    // Adds to `area` what differs between `before` and `after`, one window's list in each; false when
    // the lists cannot be matched triangle by triangle.
    static bool addChanges(const List& before, const List& after, Bounds& area);

    bool holding = false;
    ImVec2 displayPos{0.0f, 0.0f};
    ImVec2 displaySize{0.0f, 0.0f};
    ImVec2 scale{1.0f, 1.0f};
    std::vector<List> lists;
};
