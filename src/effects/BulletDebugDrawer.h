#pragma once

#include <GL/glew.h>
#include <btBulletDynamicsCommon.h>

// Turns the physics world's debug-draw requests into OpenGL lines. Each line gets its own buffer and
// vertex array, uploaded and drawn at once (this is a debugging aid, not a fast path). Lines are drawn
// with whatever program is current: make the debug-line program current and set its
// "projectionViewMatrix" before asking the world to debug-draw.
class BulletDebugDrawer : public btIDebugDraw {
public:
    // Draws with `program`, the renderer's debug-line program.
    explicit BulletDebugDrawer(GLuint program);
    // Frees the last line's buffer and vertex array while a context is current.
    ~BulletDebugDrawer() override;
    BulletDebugDrawer(const BulletDebugDrawer&) = delete;
    BulletDebugDrawer& operator=(const BulletDebugDrawer&) = delete;

    // Reports pending GL errors on standard error, then draws one line in `color`, replacing the
    // previous line's buffer and vertex array. Leaves no vertex array and no array buffer bound.
    void drawLine(const btVector3& from, const btVector3& to, const btVector3& color) override;
    void drawContactPoint(const btVector3& pointOnB, const btVector3& normalOnB, btScalar distance, int lifeTime,
                          const btVector3& color) override;
    // Physics warnings are dropped.
    void reportErrorWarning(const char* warningString) override;
    void draw3dText(const btVector3& location, const char* textString) override;
    void setDebugMode(int mode) override;
    // Always wireframe and bounding boxes, whatever was set.
    int getDebugMode() const override;

    GLuint lineVbo = 0;
    GLuint lineVao = 0;
    GLuint programId = 0;
    int debugMode = 0;  // what the world last asked for; the drawn mode does not depend on it
};
