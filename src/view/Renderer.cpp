#include "view/Renderer.h"

#include "effects/DebugLineShader.h"
#include "effects/GuiObject.h"
#include "effects/GuiShader.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "effects/WaterShader.h"
#include "fluid/BlobbyShader.h"
#include "fluid/FountainSurfaceShader.h"
#include "fluid/Liquid.h"
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
#include <cmath>
#include <initializer_list>
#include <iostream>
#include <limits>

namespace {

// Batched models farther than this are never frustum-tested, whatever distance a pass asks for.
constexpr float kDistanceLimit = 200.0f;
// The fountain surface's commands before its passes: a draw of no vertices, then no work groups of the
// second pass (glDrawArraysIndirect's and glDispatchComputeIndirect's layouts).
const GLuint kNoSurface[7] = {0, 1, 0, 0, 0, 1, 1};
// Bytes into the command buffer where the second pass's dispatch command starts.
constexpr GLintptr kSecondPassCommand = 4 * sizeof(GLuint);
// Cells each invocation of the surface's first pass marches, one after another along z (the shader's
// columnCells): fewer, fuller work groups.
constexpr int kFluidColumnCells = 8;
// Room for 10 000 particle instance records of 21 floats.
constexpr GLsizeiptr kInstanceBufferBytes = 840000;

// Whether `eye` lies outside the grid of `dimensions` points that `modelMatrix` places, by more than
// `margin` world units. The surface is closed (the grid's outer faces hold no liquid), so from out
// there its back faces are all hidden behind its front faces.
bool outsideGrid(const glm::vec3& eye, const glm::mat4& modelMatrix, const glm::vec3& dimensions, float margin) {
    const glm::vec3 low(modelMatrix * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    const glm::vec3 high(modelMatrix * glm::vec4(dimensions - 1.0f, 1.0f));
    const glm::vec3 nearest = glm::clamp(eye, glm::min(low, high), glm::max(low, high));
    return glm::length(eye - nearest) > margin;
}

void disableModelAttributes() {
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
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
    glGenBuffers(1, &modelInstanceBuffer);
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
    fountainSurfaceShader = std::make_shared<FountainSurfaceShader>();
    const GLuint surfaceProgram = fountainSurfaceShader->init();
    surfacePhaseLocation = glGetUniformLocation(surfaceProgram, "phase");
    surfaceDimensionsLocation = glGetUniformLocation(surfaceProgram, "dimensions");
    surfaceStrideLocation = glGetUniformLocation(surfaceProgram, "stride");
    surfaceCapacityLocation = glGetUniformLocation(surfaceProgram, "capacity");
    fluidSurfaces = std::make_unique<FluidSurfaces>(
        static_cast<GLsizeiptr>(kFluidVertexCapacity) * 6 * static_cast<GLsizeiptr>(sizeof(float)), kNoSurface);
    glGenBuffers(1, &fountainTriangles);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, fountainTriangles);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(kFluidVertexCapacity / 3 * sizeof(GLuint)), nullptr,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    glGenVertexArrays(1, &surfaceVao);
}

Renderer::~Renderer() {
    if (!hasCurrentGlContext()) return;
    glDeleteBuffers(1, &fountainDensity);
    glDeleteBuffers(1, &fountainTriangles);
    glDeleteVertexArrays(1, &surfaceVao);
    glDeleteBuffers(1, &instanceBuffer);
    glDeleteBuffers(1, &modelInstanceBuffer);
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

template <typename Test>
void Renderer::gatherInstances(const std::list<std::shared_ptr<TexturedMesh>>& meshes, Test test,
                               float outlineDistance) {
    modelInstances.clear();
    const bool mayCoarsen = coarseModelDistance > 0.0f;
    const bool mayOutline = outlineDistance > 0.0f;
    using Detail = ModelInstances::Detail;
    for (const auto& mesh : meshes) {
        if (!mesh->visible || !test(*mesh)) continue;
        if (mayOutline && mesh->outlineCount > 0 && !isWithin(*mesh, outlineDistance)) {
            modelInstances.add(*mesh, Detail::Outline);
        } else {
            const bool far = mayCoarsen && mesh->coarseCount > 0 && !isWithin(*mesh, coarseModelDistance);
            modelInstances.add(*mesh, far ? Detail::Coarse : Detail::Full);
        }
    }
    if (modelInstances.instanceCount() > 0) modelInstances.upload(modelInstanceBuffer);
}

void Renderer::drawInstanceRuns(GLint baseLocation, std::initializer_list<GLuint> attributes) {
    if (modelInstances.instanceCount() == 0) return;
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kModelInstances, modelInstanceBuffer);
    for (const ModelInstances::Run& run : modelInstances.runs()) {
        // One batch holds every mesh drawn with one texture, and meshes of different models (the
        // rabbit's and the flying rabbit's bodies) may share it: each run has its own vertex array.
        glBindVertexArray(run.vaoId);
        for (GLuint attribute : attributes) glEnableVertexAttribArray(attribute);
        glUniform1i(baseLocation, run.first);
        const auto offset = static_cast<GLintptr>(run.firstIndex) * static_cast<GLintptr>(sizeof(GLuint));
        glDrawElementsInstanced(GL_TRIANGLES, run.vertexCount, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset),
                                run.count);
        disableModelAttributes();
    }
}

void Renderer::renderEntities(const RenderMap& batches, float maxDistance) {
    const float limit = std::min(maxDistance, kDistanceLimit);
    const bool cull = culling();
    for (const auto& [texture, meshes] : batches) {
        if (meshes.empty()) continue;  // nothing to take the vertex array and material from
        // The distance test comes first so that far meshes cost no corner list.
        gatherInstances(
            meshes, [&](const Mesh& mesh) { return isWithin(mesh, limit) ? isInFrustum(mesh) || !cull : !cull; },
            outlineModelDistance);
        if (modelInstances.instanceCount() == 0) continue;
        TexturedShader& shader = *texturedShader;
        prepareTexturedModel(*meshes.front(), shader);
        glUniform4f(shader.clipPlaneLocation, clipPlane.x, clipPlane.y, clipPlane.z, clipPlane.w);
        drawInstanceRuns(shader.instanceBaseLocation, {0u, 1u, 2u});
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
    setMatrix(shadowShader->viewMatrixLocation, light.viewMatrix);
    setMatrix(shadowShader->projectionMatrixLocation, lightProjection);
    // Both faces cast shadows: thin or open models would let light through their back side.
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);

    const float limit = std::min(maxDistance, kDistanceLimit);
    const glm::mat4 lightClip = lightProjection * light.viewMatrix;
    castBounds = glm::vec4(std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest());
    // A drawn model widens castBounds by its box's corners: the light's projection is orthographic, so
    // the model covers no more of the map than they do (and the frustum test passes none without them).
    const auto drawn = [&](const Mesh& mesh) {
        if (!isWithin(mesh, limit) || !isInFrustum(mesh)) return false;
        const glm::mat4 toClip = lightClip * mesh.getModelMatrix();
        for (const glm::vec3& corner : mesh.boundingBoxCorners) {
            const glm::vec2 at(toClip * glm::vec4(corner, 1.0f));
            castBounds =
                glm::vec4(glm::min(glm::vec2(castBounds), at), glm::max(glm::vec2(castBounds.z, castBounds.w), at));
        }
        return true;
    };
    for (const auto& [texture, meshes] : batches) {
        if (meshes.empty()) continue;
        // No culling switch here: outside the shadow-distance frustum nothing is worth a shadow.
        gatherInstances(meshes, drawn, shadowOutlineDistance);
        if (modelInstances.instanceCount() == 0) continue;
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        drawInstanceRuns(shadowShader->instanceBaseLocation, {0u, 1u});
    }
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
    // The terrain and the frustum outline are drawn with this program too, without texture coordinates
    // and with their own model matrix.
    glUniform1i(useAlpha, 0);
    glUniform1i(shadowShader->instanceBaseLocation, -1);
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
        camera->position, terrainDetail);
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

void Renderer::renderFluid(const glm::mat4& modelMatrix, const glm::vec3& dimensions, int stride) {
    const int step = std::max(stride, 1);
    const FluidSurfaces::Slot& slot = fluidSurfaces->lend(nullptr, step);
    marchFluid(slot, dimensions, step);
    drawFluid(slot, modelMatrix, dimensions);
}

void Renderer::marchFountain(Liquid& fountain, int stride) {
    const int step = std::max(stride, 1);
    if (fluidSurfaces->holding(&fountain, step) && !fountain.surfaceDue()) return;
    fountain.prepareSurface(step);
    marchFluid(fluidSurfaces->lend(&fountain, step), fountain.dimensions, step);
}

void Renderer::drawFountain(Liquid& fountain, int stride) {
    const int step = std::max(stride, 1);
    const FluidSurfaces::Slot* kept = fluidSurfaces->holding(&fountain, step);
    if (!kept) {
        marchFountain(fountain, step);
        kept = &fluidSurfaces->last();
    }
    drawFluid(*kept, fountain.getModelMatrix(), fountain.dimensions);
}

void Renderer::renderFountain(Liquid& fountain, int stride) {
    marchFountain(fountain, stride);
    drawFountain(fountain, stride);
}

void Renderer::marchFluid(const FluidSurfaces::Slot& slot, const glm::vec3& dimensions, int step) {
    const glm::ivec3 grid(dimensions);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainDensity, fountainDensity);
    surfaceTable.bind(StorageBinding::kTriangleTable);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainSurface, slot.vertices);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainTriangles, fountainTriangles);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainCommand, slot.command);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof kNoSurface, kNoSurface);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);

    // First one invocation per run of kFluidColumnCells cells along z, of `step` grid steps each:
    // (points - 1) / step cells per axis, rounded up.
    glUseProgram(fountainSurfaceShader->programId);
    glUniform1i(surfacePhaseLocation, 0);
    glUniform3i(surfaceDimensionsLocation, grid.x, grid.y, grid.z);
    glUniform1i(surfaceStrideLocation, step);
    glUniform1ui(surfaceCapacityLocation, kFluidVertexCapacity);
    GLint block[3] = {1, 1, 1};
    glGetProgramiv(fountainSurfaceShader->programId, GL_COMPUTE_WORK_GROUP_SIZE, block);
    const auto groups = [step](int points, int size) {
        const int cells = std::max((points - 1 + step - 1) / step, 0);
        return static_cast<GLuint>((cells + size - 1) / size);
    };
    glDispatchCompute(groups(grid.x, block[0]), groups(grid.y, block[1]), groups(grid.z, block[2] * kFluidColumnCells));
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_COMMAND_BARRIER_BIT);
    // Then one invocation per listed triangle, as many work groups as the first pass counted.
    glUniform1i(surfacePhaseLocation, 1);
    glBindBuffer(GL_DISPATCH_INDIRECT_BUFFER, slot.command);
    glDispatchComputeIndirect(kSecondPassCommand);
    glBindBuffer(GL_DISPATCH_INDIRECT_BUFFER, 0);
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_COMMAND_BARRIER_BIT);
}

void Renderer::drawFluid(const FluidSurfaces::Slot& slot, const glm::mat4& modelMatrix, const glm::vec3& dimensions) {
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainSurface, slot.vertices);
    glUseProgram(blobbyProgramId);
    // From inside the fountain (or so near that the near plane cuts into it) the surface is seen from
    // behind too; from outside only its front faces need shading, half the fragments.
    const float top = std::tan(glm::radians(camera->fieldOfView) * 0.5f);
    const float nearCorner =
        camera->nearPlane * std::sqrt(1.0f + top * top * (1.0f + camera->aspectRatio * camera->aspectRatio));
    if (outsideGrid(camera->position, modelMatrix, dimensions, nearCorner)) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
    setMatrix(blobbyShader->projectionMatrixLocation, projectionMatrix());
    setMatrix(blobbyShader->viewMatrixLocation, viewMatrix());
    setMatrix(blobbyShader->modelMatrixLocation, modelMatrix);
    glUniform1f(blobbyShader->shineDamperLocation, 1.0f);
    glUniform1f(blobbyShader->reflectivityLocation, 1.0f);
    glUniform3f(blobbyShader->skyColorLocation, skyColor.r, skyColor.g, skyColor.b);
    glUniform1f(blobbyShader->brightnessFactorLocation, brightness());
    glBindVertexArray(surfaceVao);
    glBindBuffer(GL_DRAW_INDIRECT_BUFFER, slot.command);
    glDrawArraysIndirect(GL_TRIANGLES, nullptr);
    glBindBuffer(GL_DRAW_INDIRECT_BUFFER, 0);
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
}

GLuint Renderer::fluidVertexCount() const {
    GLuint count = 0;
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, fluidSurfaces->last().command);
    glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof count, &count);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    return count;
}

void Renderer::loadParticleUniforms() {
    setMatrix(particleLocations.viewMatrix, viewMatrix());
    setMatrix(particleLocations.projectionMatrix, projectionMatrix());
}

void Renderer::drawParticleSystem(const ParticleSystem& system, bool prime) {
    if (!prime && system.particles.empty()) return;
    if (!prime && !camera->isPointInFrustum(system.position)) return;  // counted as culled there
    glBlendFunc(GL_SRC_ALPHA, static_cast<GLenum>(system.blendDestination));
    const int count = prime ? particleInstances.collapsed() : particleInstances.collect(system, camera->rotation);
    if (count == 0) return;
    particleInstances.upload(instanceBuffer);
    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, particleQuad->vertexCount, count);
}

void Renderer::renderParticles(const ParticleBatches& batches) { drawParticles(batches, false); }

void Renderer::primeParticles(const ParticleBatches& batches) { drawParticles(batches, true); }

void Renderer::drawParticles(const ParticleBatches& batches, bool prime) {
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
        for (const auto& system : systems) drawParticleSystem(*system, prime);
    }

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    for (GLuint attribute = 0; attribute <= 6; ++attribute) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
}
