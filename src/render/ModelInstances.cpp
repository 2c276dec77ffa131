#include "render/ModelInstances.h"

#include "render/Mesh.h"

void ModelInstances::clear() {
    runList.clear();
    for (auto& matrices : runMatrices) matrices.clear();
    total = 0;
}

void ModelInstances::add(const Mesh& mesh, Detail detail) {
    int count = mesh.vertexCount, firstIndex = 0;
    if (detail == Detail::Outline && mesh.outlineCount > 0) {
        count = mesh.outlineCount;
        firstIndex = mesh.vertexCount + mesh.coarseCount;
    } else if (detail != Detail::Full && mesh.coarseCount > 0) {
        count = mesh.coarseCount;
        firstIndex = mesh.vertexCount;
    }
    size_t run = 0;
    while (run < runList.size() && (runList[run].vaoId != mesh.vaoId || runList[run].vertexCount != count ||
                                    runList[run].firstIndex != firstIndex))
        ++run;
    if (run == runList.size()) {
        runList.push_back(Run{mesh.vaoId, count, firstIndex, 0, 0});
        if (runMatrices.size() < runList.size()) runMatrices.emplace_back();
    }
    runMatrices[run].push_back(mesh.getModelMatrix());
    ++runList[run].count;
    ++total;
}

void ModelInstances::upload(GLuint buffer) {
    packed.clear();
    for (size_t run = 0; run < runList.size(); ++run) {
        runList[run].first = static_cast<int>(packed.size());
        packed.insert(packed.end(), runMatrices[run].begin(), runMatrices[run].end());
    }
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(packed.size() * sizeof(glm::mat4)), packed.data(),
                 GL_STREAM_DRAW);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
}
