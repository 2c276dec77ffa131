#include "view/Renderer.h"

#include "effects/DebugLineShader.h"
#include "effects/GuiObject.h"
#include "effects/GuiShader.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "effects/WaterShader.h"
#include "fluid/BlobbyShader.h"
#include "render/BoxVisibility.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/GlContextState.h"
#include "render/GlErrors.h"
#include "render/ShaderSource.h"
#include "render/ShadowShader.h"
#include "render/TexturedShader.h"
#include "render/UniformMatrix.h"
#include "render/StorageBindings.h"
#include "render/VaoLoader.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/TerrainChunks.h"

#include <algorithm>
#include <initializer_list>
#include <iostream>

namespace {

// Batched models farther than this are never frustum-tested, whatever distance a pass asks for.
constexpr float kDistanceLimit = 200.0f;
// Room for 10 000 particle instance records of 21 floats.
constexpr GLsizeiptr kInstanceBufferBytes = 840000;

void disableModelAttributes() {
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
}

// One batch holds every mesh drawn with one texture, and meshes of different models (the rabbit's and
// the flying rabbit's bodies) may share it, so each mesh is drawn through its own vertex array. This
// binds `vaoId` with `attributes` enabled unless it is bound already; the array it replaces gets its
// model attributes disabled again.
void useVertexArray(GLuint& bound, GLuint vaoId, std::initializer_list<GLuint> attributes) {
    if (vaoId == bound) return;
    disableModelAttributes();
    glBindVertexArray(vaoId);
    for (GLuint attribute : attributes) glEnableVertexAttribArray(attribute);
    bound = vaoId;
}

}  // namespace

Renderer::Renderer(std::shared_ptr<Camera> cam, DrawSwitches drawSwitches)
    : camera(std::move(cam)), switches(drawSwitches) {
    GLint storagePoints = 0;
    glGetIntegerv(GL_MAX_SHADER_STORAGE_BUFFER_BINDINGS, &storagePoints);
    if (storagePoints < kStorageBindingCount) {
        std::cerr << "The OpenGL driver offers " << storagePoints << " shader-storage binding points; the game binds "
                  << kStorageBindingCount << ", so the landscape and the fountains may not be drawn" << std::endl;
    }
    texturedShader = std::make_shared<TexturedShader>();
    texturedShader->init();
    guiQuad = loadToVAO(quadVertices, 2);

    guiShader = std::make_shared<GuiShader>();
    guiProgramId = guiShader->init();

    shadowShader = std::make_shared<ShadowShader>();
    shadowProgramId = shadowShader->init();

    particleQuad = loadToVAO(quadVertices, 2);
    particleShader = std::make_shared<ParticleShader>();
    particleProgramId = particleShader->init();
    particleLocations.viewMatrix = glGetUniformLocation(particleProgramId, "viewMatrix");
    particleLocations.projectionMatrix = glGetUniformLocation(particleProgramId, "projectionMatrix");
    particleLocations.numberOfRows = glGetUniformLocation(particleProgramId, "numberOfRows");
    glGenBuffers(1, &instanceBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer);
    glBufferData(GL_ARRAY_BUFFER, kInstanceBufferBytes, nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (int column = 0; column < 4; ++column)
        addInstancedAttribute(particleQuad->vaoId, instanceBuffer, 1 + column, 4, 4 * column);
    addInstancedAttribute(particleQuad->vaoId, instanceBuffer, 5, 4, 16);
    addInstancedAttribute(particleQuad->vaoId, instanceBuffer, 6, 1, 20);

    debugLineShader = std::make_shared<DebugLineShader>();
    debugLineProgramId = debugLineShader->init();

    blobbyShader = std::make_shared<BlobbyShader>();
    blobbyProgramId = blobbyShader->init();
    // Sized by the first fountain; until then an empty buffer.
    glGenBuffers(1, &fountainDensity);
}

Renderer::~Renderer() {
    if (!hasCurrentGlContext()) return;
    glDeleteBuffers(1, &fountainDensity);
    glDeleteBuffers(1, &instanceBuffer);
}

glm::mat4 Renderer::viewMatrix() const { return camera->getViewMatrix(); }

glm::mat4 Renderer::projectionMatrix() const { return camera->getProjectionMatrix(); }

bool Renderer::isWithin(const Mesh& mesh, float limit) const {
    return glm::length(mesh.position - camera->position) < limit;
}

bool Renderer::isInFrustum(const Mesh& mesh) const {
    movedCorners.assign(mesh.boundingBoxCorners.begin(), mesh.boundingBoxCorners.end());
    for (glm::vec3& corner : movedCorners) corner += mesh.position;
    return camera->isInFrustum(movedCorners);
}

void Renderer::prepareTexturedModel(const TexturedMesh& mesh, TexturedShader& shader) {
    static const Material plain;
    const Material& material = mesh.material ? *mesh.material : plain;

    glUseProgram(shader.programId);
    glBindVertexArray(mesh.vaoId);
    for (GLuint attribute : {0u, 1u, 2u}) glEnableVertexAttribArray(attribute);

    glUniform1f(shader.shineDamperLocation, material.shineDamper);
    glUniform1f(shader.reflectivityLocation, material.reflectivity);
    glUniform3f(shader.skyColorLocation, skyColor.r, skyColor.g, skyColor.b);
    setMatrix(shader.viewMatrixLocation, viewMatrix());
    setMatrix(shader.projectionMatrixLocation, projectionMatrix());
    glUniform1f(shader.brightnessFactorLocation, brightness());

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, material.textureId);
    if (material.hasTransparency) glDisable(GL_CULL_FACE);
}

void Renderer::loadModelMatrix(const TexturedShader& shader, const Mesh& mesh) {
    setMatrix(shader.modelMatrixLocation, mesh.getModelMatrix());
}

void Renderer::renderEntities(const RenderMap& batches, float maxDistance) {
    const float limit = std::min(maxDistance, kDistanceLimit);
    for (const auto& [texture, meshes] : batches) {
        if (meshes.empty()) continue;  // nothing to take the vertex array and material from
        const std::shared_ptr<TexturedShader>& shader = texturedShader;
        prepareTexturedModel(*meshes.front(), *shader);
        glUniform4f(shader->clipPlaneLocation, clipPlane.x, clipPlane.y, clipPlane.z, clipPlane.w);
        GLuint bound = meshes.front()->vaoId;

        for (const auto& mesh : meshes) {
            if (!mesh->visible) continue;
            // The distance test comes first so that far meshes cost no corner list.
            const bool draw = isWithin(*mesh, limit) ? isInFrustum(*mesh) || !culling() : !culling();
            if (!draw) continue;
            useVertexArray(bound, mesh->vaoId, {0u, 1u, 2u});
            loadModelMatrix(*shader, *mesh);
            glDrawElements(GL_TRIANGLES, mesh->vertexCount, GL_UNSIGNED_INT, nullptr);
        }

        disableModelAttributes();
        glBindVertexArray(0);
        glEnable(GL_CULL_FACE);
    }
}

void Renderer::renderShadowMap(const RenderMap& batches, const DirectionalLight& light,
                               const glm::mat4& lightProjection, float maxDistance) {
    drainGlErrors("OpenGL error at start of shadow map render:");
    glUseProgram(shadowProgramId);
    // Model textures may have cut-out parts (grass blades); those must not cast shadows.
    const GLint useAlpha = shadowShader->useAlphaLocation;
    glUniform1i(useAlpha, 1);

    const float limit = std::min(maxDistance, kDistanceLimit);
    for (const auto& [texture, meshes] : batches) {
        if (meshes.empty()) continue;
        GLuint bound = meshes.front()->vaoId;
        glBindVertexArray(bound);
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        drainGlErrors("OpenGL error after tex binding:");
        setMatrix(shadowShader->viewMatrixLocation, light.viewMatrix);
        setMatrix(shadowShader->projectionMatrixLocation, lightProjection);
        // Both faces cast shadows: thin or open models would let light through their back side.
        glDisable(GL_CULL_FACE);

        for (const auto& mesh : meshes) {
            // No culling switch here: outside the shadow-distance frustum nothing is worth a shadow.
            if (!mesh->visible || !isWithin(*mesh, limit) || !isInFrustum(*mesh)) continue;
            useVertexArray(bound, mesh->vaoId, {0u, 1u});
            setMatrix(shadowShader->modelMatrixLocation, mesh->getModelMatrix());
            glDrawElements(GL_TRIANGLES, mesh->vertexCount, GL_UNSIGNED_INT, nullptr);
        }

        disableModelAttributes();
        glBindVertexArray(0);
        glEnable(GL_CULL_FACE);
    }
    // The terrain and the frustum outline are drawn with this program too, without texture coordinates.
    glUniform1i(useAlpha, 0);
}

void Renderer::prepareTerrain(const Mesh& mesh, TexturedShader& program) {
    glUseProgram(program.programId);
    setMatrix(program.modelMatrixLocation, mesh.getModelMatrix());
    setMatrix(program.viewMatrixLocation, viewMatrix());
    setMatrix(program.projectionMatrixLocation, projectionMatrix());
    glUniform3f(program.skyColorLocation, skyColor.r, skyColor.g, skyColor.b);
    glBindVertexArray(mesh.vaoId);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
}

void Renderer::beginTerrain(const AdvancedTerrainShader& program) {
    drainGlErrors("OpenGL error before array render: ");
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glUseProgram(program.programId);
}

void Renderer::endTerrain() {
    drainGlErrors("OpenGL error after array render: ");
    glActiveTexture(GL_TEXTURE0);
    disableModelAttributes();
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
}

void Renderer::renderArray(const Mesh& mesh, const AdvancedTerrainShader& program, GLuint arrayTexture) {
    beginTerrain(program);
    glBindVertexArray(mesh.vaoId);
    glEnableVertexAttribArray(0);
    loadTerrainUniforms(mesh.getModelMatrix(), program, arrayTexture);
    glDrawArrays(GL_TRIANGLES, 0, mesh.vertexCount);
    endTerrain();
}

void Renderer::loadTerrainUniforms(const glm::mat4& model, const AdvancedTerrainShader& program, GLuint arrayTexture) {
    setMatrix(program.modelMatrixLocation, model);
    setMatrix(program.viewMatrixLocation, viewMatrix());
    setMatrix(program.projectionMatrixLocation, projectionMatrix());
    glUniform1f(program.brightnessFactorLocation, brightness());

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, arrayTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    glUniform1i(program.shadowMapSizeLocation, shadowMapSize);
}

void Renderer::renderChunks(const TerrainChunks& chunks, const AdvancedTerrainShader& program, GLuint arrayTexture) {
    beginTerrain(program);
    // The landscape's coordinates are world coordinates.
    loadTerrainUniforms(glm::mat4(1.0f), program, arrayTexture);

    // The view as the camera stands now: the mirror pass moves it without a new culling frustum.
    const Frustum frustum = camera->currentFrustum(0.0f);
    const glm::vec4 plane = clipPlane;
    const bool cullChunks = culling();
    chunks.draw(
        [&frustum, plane, cullChunks](const glm::vec3& min, const glm::vec3& max) {
            return boxMayBeAbovePlane(plane, min, max) && (!cullChunks || boxMayBeInFrustum(frustum, min, max));
        },
        camera->position);
    endTerrain();
}

void Renderer::renderWater(const Mesh& waterMesh, const WaterShader& water, GLuint reflectionTexture,
                           GLuint refractionTexture, GLuint dudvTexture, GLuint normalTexture, GLuint depthTexture,
                           float moveFactor) {
    glUniform1f(water.moveFactorLocation, moveFactor);
    glUniform1f(water.brightnessFactorLocation, brightness());
    glUniform3f(water.cameraPosLocation, camera->position.x, camera->position.y, camera->position.z);

    glEnableVertexAttribArray(1);
    const GLuint textures[] = {reflectionTexture, refractionTexture, dudvTexture, normalTexture, depthTexture};
    for (int unit = 0; unit < 5; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
    }
    glActiveTexture(GL_TEXTURE0);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawElements(GL_TRIANGLES, waterMesh.vertexCount, GL_UNSIGNED_INT, nullptr);

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(2);
    glDisable(GL_BLEND);
    glDisableVertexAttribArray(1);
}

void Renderer::renderGui(const std::vector<std::shared_ptr<GuiObject>>& guiObjects) {
    glUseProgram(guiProgramId);
    glBindVertexArray(guiQuad->vaoId);
    glEnableVertexAttribArray(0);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    const GLint transform = guiShader->transformMatrixLocation;

    glActiveTexture(GL_TEXTURE0);
    for (const auto& object : guiObjects) {
        guiQuad->setPosition(object->position);
        guiQuad->setScale(object->scale);
        setMatrix(transform, guiQuad->getModelMatrix());
        glBindTexture(GL_TEXTURE_2D, object->texture);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, guiQuad->vertexCount);
    }

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
}

void Renderer::renderFluid(const Mesh& mesh, const glm::mat4& modelMatrix, const glm::vec3& dimensions) {
    glUseProgram(blobbyProgramId);
    glDisable(GL_CULL_FACE);  // the surface is seen from inside the fountain too
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainDensity, fountainDensity);
    surfaceTable.bind(StorageBinding::kTriangleTable);
    glBindVertexArray(mesh.vaoId);
    glEnableVertexAttribArray(0);

    setMatrix(blobbyShader->projectionMatrixLocation, projectionMatrix());
    setMatrix(blobbyShader->viewMatrixLocation, viewMatrix());
    setMatrix(blobbyShader->modelMatrixLocation, modelMatrix);
    glUniform1f(blobbyShader->shineDamperLocation, 1.0f);
    glUniform1f(blobbyShader->reflectivityLocation, 1.0f);
    glUniform3f(blobbyShader->skyColorLocation, skyColor.r, skyColor.g, skyColor.b);
    glUniform1f(blobbyShader->brightnessFactorLocation, brightness());
    glUniform3i(blobbyShader->dimensionsLocation, static_cast<int>(dimensions.x), static_cast<int>(dimensions.y),
                static_cast<int>(dimensions.z));

    // One instance per layer of cells.
    glDrawArraysInstanced(GL_POINTS, 0, mesh.vertexCount, static_cast<int>(dimensions.y - 1));

    glDisableVertexAttribArray(0);
    glEnable(GL_CULL_FACE);
}

void Renderer::loadParticleUniforms() {
    setMatrix(particleLocations.viewMatrix, viewMatrix());
    setMatrix(particleLocations.projectionMatrix, projectionMatrix());
}

void Renderer::drawParticleSystem(const ParticleSystem& system) {
    if (system.particles.empty()) return;
    if (!camera->isPointInFrustum(system.position)) return;  // counted as culled there
    glBlendFunc(GL_SRC_ALPHA, static_cast<GLenum>(system.blendDestination));
    const int count = particleInstances.collect(system, camera->rotation);
    if (count == 0) return;
    particleInstances.upload(instanceBuffer);
    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, particleQuad->vertexCount, count);
}

void Renderer::renderParticles(const ParticleBatches& batches) {
    glUseProgram(particleProgramId);
    glBindVertexArray(particleQuad->vaoId);
    glEnable(GL_BLEND);
    for (GLuint attribute = 0; attribute <= 6; ++attribute) glEnableVertexAttribArray(attribute);
    loadParticleUniforms();

    glActiveTexture(GL_TEXTURE0);
    for (const auto& [texture, systems] : batches) {
        if (systems.empty()) continue;
        glBindTexture(GL_TEXTURE_2D, texture);
        const auto& atlas = systems.front()->texture;
        glUniform1f(particleLocations.numberOfRows, atlas ? static_cast<float>(atlas->numberOfRows) : 1.0f);
        for (const auto& system : systems) drawParticleSystem(*system);
    }

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    for (GLuint attribute = 0; attribute <= 6; ++attribute) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
}
