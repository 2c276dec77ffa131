#include "effects/BulletDebugDrawer.h"

#include "render/GlContextState.h"
#include "render/GlErrors.h"

#include <iostream>

namespace {
constexpr GLsizei kFloatsPerVertex = 6;  // position, colour
}  // namespace

BulletDebugDrawer::BulletDebugDrawer(GLuint program) : programId(program) {}

BulletDebugDrawer::~BulletDebugDrawer() {
    if (!hasCurrentGlContext()) return;
    glDeleteBuffers(1, &lineVbo);
    glDeleteVertexArrays(1, &lineVao);
}

void BulletDebugDrawer::drawLine(const btVector3& from, const btVector3& to, const btVector3& color) {
    drainGlErrors("OpenGL error before debug draw ");

    const float vertices[2 * kFloatsPerVertex] = {
        float(from.x()), float(from.y()), float(from.z()), float(color.x()), float(color.y()), float(color.z()),
        float(to.x()),   float(to.y()),   float(to.z()),   float(color.x()), float(color.y()), float(color.z()),
    };

    // Names 0 (before the first line) are ignored by the deletes.
    glDeleteBuffers(1, &lineVbo);
    glDeleteVertexArrays(1, &lineVao);
    glGenBuffers(1, &lineVbo);
    glGenVertexArrays(1, &lineVao);
    glBindVertexArray(lineVao);
    glBindBuffer(GL_ARRAY_BUFFER, lineVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
    const GLsizei stride = kFloatsPerVertex * sizeof(float);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glBindVertexArray(lineVao);
    glDrawArrays(GL_LINES, 0, 2);
    glBindVertexArray(0);
}

void BulletDebugDrawer::drawContactPoint(const btVector3&, const btVector3&, btScalar, int, const btVector3&) {}

void BulletDebugDrawer::reportErrorWarning(const char*) {}

void BulletDebugDrawer::draw3dText(const btVector3&, const char*) {}

void BulletDebugDrawer::setDebugMode(int mode) { debugMode = mode; }

int BulletDebugDrawer::getDebugMode() const { return DBG_DrawWireframe | DBG_DrawAabb; }
