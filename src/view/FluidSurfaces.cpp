#include "view/FluidSurfaces.h"

#include "render/GlContextState.h"

FluidSurfaces::FluidSurfaces(GLsizeiptr vertexBytes, const GLuint (&emptyCommand)[7]) {
    for (Slot& slot : slots) {
        glGenBuffers(1, &slot.vertices);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, slot.vertices);
        glBufferData(GL_SHADER_STORAGE_BUFFER, vertexBytes, nullptr, GL_DYNAMIC_DRAW);
        glGenBuffers(1, &slot.command);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, slot.command);
        glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof emptyCommand, emptyCommand, GL_DYNAMIC_DRAW);
    }
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
}

FluidSurfaces::~FluidSurfaces() {
    if (!hasCurrentGlContext()) return;
    for (Slot& slot : slots) {
        glDeleteBuffers(1, &slot.vertices);
        glDeleteBuffers(1, &slot.command);
    }
}

FluidSurfaces::Slot* FluidSurfaces::holding(const void* owner, int stride) {
    if (!owner) return nullptr;
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].owner == owner && slots[i].stride == stride) {
            slots[i].used = ++clock;
            lastSlot = i;
            return &slots[i];
        }
    }
    return nullptr;
}

FluidSurfaces::Slot& FluidSurfaces::lend(const void* owner, int stride) {
    int oldest = 0;
    for (int i = 1; i < kSlots; ++i) {
        if (slots[i].used < slots[oldest].used) oldest = i;
    }
    // A surface of the same owner at another stride is stale from now on.
    for (Slot& slot : slots) {
        if (owner && slot.owner == owner) slot.owner = nullptr;
    }
    Slot& slot = slots[oldest];
    slot.owner = owner;
    slot.stride = stride;
    slot.used = ++clock;
    lastSlot = oldest;
    return slot;
}
