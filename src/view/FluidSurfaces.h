#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>

// The fountains' marched surfaces, kept from frame to frame so that a fountain need not be marched in
// every frame it is drawn: a few slots, each a vertex buffer with its indirect command, lent to the
// surfaces drawn most recently. Needs the current context.
class FluidSurfaces {
public:
    static constexpr int kSlots = 4;

    struct Slot {
        const void* owner = nullptr;  // whose surface it holds; null: a surface kept for no one
        int stride = 0;               // grid steps per cell edge it was marched in
        GLuint vertices = 0;          // six floats a vertex
        GLuint command = 0;           // the indirect draw command, then the second pass's dispatch
        std::uint64_t used = 0;       // when it was last lent or found
    };

    // Each slot's vertex buffer is `vertexBytes` long, its command starts as `emptyCommand`.
    FluidSurfaces(GLsizeiptr vertexBytes, const GLuint (&emptyCommand)[7]);
    ~FluidSurfaces();
    FluidSurfaces(const FluidSurfaces&) = delete;
    FluidSurfaces& operator=(const FluidSurfaces&) = delete;

    // The slot holding `owner`'s surface in cells of `stride` grid steps, or null (always for a null owner).
    Slot* holding(const void* owner, int stride);
    // The slot unused longest, now lent to `owner`'s surface in cells of `stride`.
    Slot& lend(const void* owner, int stride);
    // The slot found or lent last.
    const Slot& last() const { return slots[lastSlot]; }

private:
    std::array<Slot, kSlots> slots;
    std::uint64_t clock = 0;
    int lastSlot = 0;
};
