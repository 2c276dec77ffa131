#include "render/ShadowMaster.h"

#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/LookAt.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/UniformMatrix.h"

ShadowMaster::ShadowMaster(std::shared_ptr<Camera> cam, std::shared_ptr<Renderer> rend,
                           std::shared_ptr<ShadowFrameBuffer> buffer)
    : frameBuffer(std::move(buffer)),
      camera(std::move(cam)),
      renderer(std::move(rend)),
      shadowBox(std::make_shared<ShadowBox>()) {}

void ShadowMaster::render() {
    if (!light) return;

    camera->updateFrustum(shadowDistance);
    const glm::vec3 centre = camera->frustum.centre;
    // The eye sits one unit down the sunlight from the centre and looks back towards the sun; +Z
    // as up keeps the view defined for a sun straight overhead.
    light->viewMatrix = lookAt(centre + light->position, centre, glm::vec3(0.0f, 0.0f, 1.0f));
    shadowBox->update(camera->frustum, light->viewMatrix);

    glBindTexture(GL_TEXTURE_2D, 0);  // the depth texture must not be bound while drawn into
    frameBuffer->bindFrameBuffer();
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    // Only things in the world go into the map: the camera's frustum outline, drawn here as a strip,
    // made a large sloping occluder that darkened the ground in view with the sun behind the camera.
}

void ShadowMaster::renderTerrain(const Mesh& terrainMesh) {
    if (!light) return;
    const GLuint program = renderer->shadowProgramId;
    glUseProgram(program);
    // Only the faces turned away from the sun are stored, so the lit surface never shadows itself.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_DEPTH_CLAMP);  // terrain beyond the box's depth range still blocks the sun
    glBindVertexArray(terrainMesh.vaoId);
    glEnableVertexAttribArray(0);
    setMatrix(program, "viewMatrix", light->viewMatrix);
    setMatrix(program, "projectionMatrix", shadowBox->projectionMatrix);
    setMatrix(program, "modelMatrix", terrainMesh.getModelMatrix());
    glDrawArrays(GL_TRIANGLES, 0, terrainMesh.vertexCount);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_CLAMP);
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
}

void ShadowMaster::endPass() { frameBuffer->unbindFrameBuffer(); }

glm::mat4 ShadowMaster::toShadowMapSpace() const {
    // Clip coordinates -1..1 to texture coordinates and depth 0..1.
    const glm::mat4 bias(0.5f, 0.0f, 0.0f, 0.0f,  //
                         0.0f, 0.5f, 0.0f, 0.0f,  //
                         0.0f, 0.0f, 0.5f, 0.0f,  //
                         0.5f, 0.5f, 0.5f, 1.0f);
    const glm::mat4 lightView = light ? light->viewMatrix : glm::mat4(1.0f);
    return bias * shadowBox->projectionMatrix * lightView;
}

void ShadowMaster::loadShadowUniforms(GLuint programId) const {
    glUseProgram(programId);
    setMatrix(programId, "toShadowMapSpace", toShadowMapSpace());
    glUniform1f(glGetUniformLocation(programId, "shadowDistance"), shadowDistance);
}
