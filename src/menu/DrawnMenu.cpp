#include "menu/DrawnMenu.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>

namespace {

bool sameVertex(const ImDrawVert& a, const ImDrawVert& b) {
    return a.pos.x == b.pos.x && a.pos.y == b.pos.y && a.uv.x == b.uv.x && a.uv.y == b.uv.y && a.col == b.col;
}

bool sameRect(const ImVec4& a, const ImVec4& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

bool samePoint(const ImVec2& a, const ImVec2& b) { return a.x == b.x && a.y == b.y; }

// Display units fall on whole framebuffer pixels both ways only at these scales.
bool wholePixelScale(float scale) { return scale == 1.0f || scale == 2.0f; }

}  // namespace

// The smallest box in display units holding everything added.
struct DrawnMenu::Bounds {
    ImVec2 min{FLT_MAX, FLT_MAX};
    ImVec2 max{-FLT_MAX, -FLT_MAX};

    void add(const ImVec2& point) {
        min = ImVec2(std::min(min.x, point.x), std::min(min.y, point.y));
        max = ImVec2(std::max(max.x, point.x), std::max(max.y, point.y));
    }
    void add(const ImVec4& rect) {
        add(ImVec2(rect.x, rect.y));
        add(ImVec2(rect.z, rect.w));
    }
    void addTriangles(const List& list, std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) add(list.vertices[list.indices[i]].pos);
    }
};

void DrawnMenu::copy(const ImDrawData& data) {
    holding = true;
    displayPos = data.DisplayPos;
    displaySize = data.DisplaySize;
    scale = data.FramebufferScale;
    lists.resize(static_cast<std::size_t>(std::max(data.CmdListsCount, 0)));
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const ImDrawList& from = *data.CmdLists[i];
        List& list = lists[i];
        list.vertices.assign(from.VtxBuffer.begin(), from.VtxBuffer.end());
        list.indices.assign(from.IdxBuffer.begin(), from.IdxBuffer.end());
        list.commands.clear();
        for (const ImDrawCmd& command : from.CmdBuffer) {
            list.commands.push_back({command.ClipRect, command.TextureId, command.VtxOffset, command.IdxOffset,
                                     command.ElemCount, command.UserCallback != nullptr});
        }
    }
}

void DrawnMenu::clear() {
    holding = false;
    lists.clear();
}

void DrawnMenu::swap(DrawnMenu& other) noexcept {
    std::swap(holding, other.holding);
    std::swap(displayPos, other.displayPos);
    std::swap(displaySize, other.displaySize);
    std::swap(scale, other.scale);
    lists.swap(other.lists);
}

bool DrawnMenu::operator==(const DrawnMenu& other) const {
    if (holding != other.holding || !samePoint(displayPos, other.displayPos) ||
        !samePoint(displaySize, other.displaySize) || !samePoint(scale, other.scale) ||
        lists.size() != other.lists.size())
        return false;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const List& a = lists[i];
        const List& b = other.lists[i];
        if (a.indices != b.indices || a.commands.size() != b.commands.size() ||
            !std::equal(a.vertices.begin(), a.vertices.end(), b.vertices.begin(), b.vertices.end(), sameVertex))
            return false;
        for (std::size_t k = 0; k < a.commands.size(); ++k) {
            const Command& x = a.commands[k];
            const Command& y = b.commands[k];
            if (!sameRect(x.clip, y.clip) || x.texture != y.texture || x.vertexOffset != y.vertexOffset ||
                x.indexOffset != y.indexOffset || x.elementCount != y.elementCount || x.callback != y.callback)
                return false;
        }
    }
    return true;
}

std::optional<PixelRect> DrawnMenu::changesTo(const DrawnMenu& after) const {
    if (!holding || !after.holding || !samePoint(displayPos, after.displayPos) ||
        !samePoint(displaySize, after.displaySize) || !samePoint(scale, after.scale) || !wholePixelScale(scale.x) ||
        !wholePixelScale(scale.y) || lists.size() != after.lists.size())
        return std::nullopt;
    // A draw callback may draw anything; indices counted from a command's own first vertex (in lists of
    // more vertices than 16-bit indices reach) are not compared.
    for (const DrawnMenu* frame : {this, &after}) {
        for (const List& list : frame->lists) {
            for (const Command& command : list.commands)
                if (command.callback || command.vertexOffset != 0) return std::nullopt;
        }
    }
    Bounds area;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (!addChanges(lists[i], after.lists[i], area)) {
            area.addTriangles(lists[i], 0, lists[i].indices.size());
            area.addTriangles(after.lists[i], 0, after.lists[i].indices.size());
        }
    }
    if (area.max.x < area.min.x || area.max.y < area.min.y) return PixelRect{};
    // To framebuffer pixels, a pixel wider each way for the edges' rounding, within the framebuffer.
    const int width = static_cast<int>(std::lround(displaySize.x * scale.x));
    const int height = static_cast<int>(std::lround(displaySize.y * scale.y));
    const auto pixel = [](float at, float origin, float factor, bool up, int limit) {
        const float value = (at - origin) * factor;
        const float edge = up ? std::ceil(value) + 1.0f : std::floor(value) - 1.0f;
        return static_cast<int>(std::clamp(edge, 0.0f, static_cast<float>(limit)));
    };
    const int left = pixel(area.min.x, displayPos.x, scale.x, false, width);
    const int right = pixel(area.max.x, displayPos.x, scale.x, true, width);
    const int top = pixel(area.min.y, displayPos.y, scale.y, false, height);
    const int bottom = pixel(area.max.y, displayPos.y, scale.y, true, height);
    if (right <= left || bottom <= top) return PixelRect{};
    return PixelRect{left, height - bottom, right - left, bottom - top};
}

bool DrawnMenu::addChanges(const List& before, const List& after, Bounds& area) {
    if (before.commands.size() != after.commands.size()) return false;
    for (std::size_t k = 0; k < before.commands.size(); ++k) {
        if (after.commands[k].texture != before.commands[k].texture) return false;
    }
    const auto sameTriangle = [&](std::size_t inBefore, std::size_t inAfter) {
        for (std::size_t corner = 0; corner < 3; ++corner) {
            if (!sameVertex(before.vertices[before.indices[inBefore + corner]],
                            after.vertices[after.indices[inAfter + corner]]))
                return false;
        }
        return true;
    };
    // The triangles alike from the start and from the end; those between changed.
    const std::size_t trianglesBefore = before.indices.size() / 3, trianglesAfter = after.indices.size() / 3;
    const std::size_t common = std::min(trianglesBefore, trianglesAfter);
    std::size_t first = 0;
    while (first < common && sameTriangle(3 * first, 3 * first)) ++first;
    std::size_t last = 0;
    while (last < common - first && sameTriangle(3 * (trianglesBefore - 1 - last), 3 * (trianglesAfter - 1 - last)))
        ++last;
    const std::size_t start = 3 * first;
    const std::size_t endBefore = 3 * (trianglesBefore - last), endAfter = 3 * (trianglesAfter - last);
    // A triangle alike must stay under the same command (its clip rectangle): a command's edge before
    // the change stays where it was, one after it moves with the triangles, one within it stays within.
    const auto sameEdge = [&](std::size_t edgeBefore, std::size_t edgeAfter) {
        if (edgeBefore < start) return edgeAfter == edgeBefore;
        if (edgeBefore > endBefore) return edgeAfter == edgeBefore - endBefore + endAfter;
        return edgeAfter >= start && edgeAfter <= endAfter;
    };
    for (std::size_t k = 0; k < before.commands.size(); ++k) {
        const Command& b = before.commands[k];
        const Command& a = after.commands[k];
        if (!sameEdge(b.indexOffset, a.indexOffset) ||
            !sameEdge(b.indexOffset + b.elementCount, a.indexOffset + a.elementCount))
            return false;
        if (!sameRect(a.clip, b.clip)) {
            area.add(b.clip);
            area.add(a.clip);
        }
    }
    area.addTriangles(before, start, endBefore);
    area.addTriangles(after, start, endAfter);
    return true;
}
