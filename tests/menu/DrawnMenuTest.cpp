#include "menu/DrawnMenu.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Quad {
    float left, top, right, bottom;
    ImU32 colour;
};

struct Command {
    ImVec4 clip;
    std::vector<Quad> quads;
};

// A frame of one window on a 100 × 100 display, as ImGui lays one out: each command's quads as two
// triangles over four corners, the commands' indices one after the other.
DrawnMenu frame(const std::vector<Command>& commands, float displayWidth = 100.0f, unsigned int lastFirstVertex = 0) {
    ImDrawList list(nullptr);
    for (const Command& command : commands) {
        ImDrawCmd drawn;
        drawn.ClipRect = command.clip;
        drawn.IdxOffset = static_cast<unsigned int>(list.IdxBuffer.Size);
        for (const Quad& q : command.quads) {
            const auto first = static_cast<ImDrawIdx>(list.VtxBuffer.Size);
            for (const ImVec2& corner :
                 {ImVec2(q.left, q.top), ImVec2(q.right, q.top), ImVec2(q.right, q.bottom), ImVec2(q.left, q.bottom)})
                list.VtxBuffer.push_back({corner, ImVec2(0.0f, 0.0f), q.colour});
            for (const int corner : {0, 1, 2, 0, 2, 3})
                list.IdxBuffer.push_back(static_cast<ImDrawIdx>(first + corner));
        }
        drawn.ElemCount = static_cast<unsigned int>(list.IdxBuffer.Size) - drawn.IdxOffset;
        list.CmdBuffer.push_back(drawn);
    }
    list.CmdBuffer.back().VtxOffset = lastFirstVertex;
    ImDrawList* lists[] = {&list};
    ImDrawData data;
    data.Valid = true;
    data.CmdLists = lists;
    data.CmdListsCount = 1;
    data.DisplaySize = ImVec2(displayWidth, 100.0f);
    data.FramebufferScale = ImVec2(1.0f, 1.0f);
    DrawnMenu copy;
    copy.copy(data);
    return copy;
}

bool covers(const PixelRect& area, float left, float top, float right, float bottom) {
    return area.x <= left && area.x + area.width >= right && area.y <= 100.0f - bottom &&
           area.y + area.height >= 100.0f - top;
}

// Where a frame differs from the last: a quad that changed, with a pixel more each way, counted from
// the bottom; triangles that stayed alike but went under another command, or a command's clip that
// moved; nothing; all of it at another display size.
TEST(DrawnMenuTest, TellsWhereTheNextFrameDiffers) {
    const ImVec4 all(0.0f, 0.0f, 100.0f, 100.0f), left(0.0f, 0.0f, 50.0f, 100.0f);
    const Quad panel{5, 5, 95, 95, 0xff000000u}, row{10, 10, 40, 20, 0xff0000ffu}, other{60, 60, 90, 90, 0xffffffffu};
    const DrawnMenu before = frame({{all, {panel, row}}, {left, {other}}});

    Quad lit = row;
    lit.colour = 0xff00ff00u;
    const std::optional<PixelRect> recoloured = before.changesTo(frame({{all, {panel, lit}}, {left, {other}}}));
    ASSERT_TRUE(recoloured.has_value());
    EXPECT_EQ(recoloured->x, 9);
    EXPECT_EQ(recoloured->y, 79);
    EXPECT_EQ(recoloured->width, 32);
    EXPECT_EQ(recoloured->height, 12);

    Quad slid = row;
    slid.left += 40.0f;
    slid.right += 40.0f;
    const std::optional<PixelRect> slidBy = before.changesTo(frame({{all, {panel, slid}}, {left, {other}}}));
    ASSERT_TRUE(slidBy.has_value());
    EXPECT_TRUE(covers(*slidBy, 10, 10, 80, 20)) << "where it was and where it is";

    const std::optional<PixelRect> moved = before.changesTo(frame({{all, {panel}}, {left, {row, other}}}));
    ASSERT_TRUE(moved.has_value());
    EXPECT_TRUE(covers(*moved, 10, 10, 40, 20)) << "the row is now clipped by the second command";
    const DrawnMenu three = frame({{all, {panel, row}}, {left, {other}}, {all, {}}});
    const std::optional<PixelRect> movedAfter =
        three.changesTo(frame({{all, {panel, lit}}, {left, {}}, {all, {other}}}));
    ASSERT_TRUE(movedAfter.has_value());
    EXPECT_TRUE(covers(*movedAfter, 60, 60, 90, 90)) << "moved to the third command, after the changed row";

    const DrawnMenu unclipped = frame({{all, {panel, row}}, {all, {other}}});
    const std::optional<PixelRect> grown = before.changesTo(unclipped), shrunk = unclipped.changesTo(before);
    ASSERT_TRUE(grown.has_value() && shrunk.has_value());
    EXPECT_TRUE(covers(*grown, 50, 60, 90, 90)) << "the part of the quad the old clip hid";
    EXPECT_TRUE(covers(*shrunk, 50, 60, 90, 90)) << "the part of the quad the new clip hides";

    const std::optional<PixelRect> same = before.changesTo(frame({{all, {panel, row}}, {left, {other}}}));
    ASSERT_TRUE(same.has_value());
    EXPECT_TRUE(same->empty());
    EXPECT_FALSE(before.changesTo(frame({{all, {panel, row}}, {left, {other}}}, 120.0f)).has_value());
    EXPECT_FALSE(DrawnMenu().changesTo(before).has_value()) << "nothing drawn before to compare with";
    EXPECT_FALSE(before.changesTo(frame({{all, {panel, row}}, {left, {other}}}, 100.0f, 4)).has_value())
        << "indices counted from a command's own first vertex";
}

}  // namespace
