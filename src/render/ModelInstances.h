#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

class Mesh;

// The model matrices of one batch's instanced draws. Meshes are gathered into runs that share a vertex
// array and a count (copies of one model), each run in the order its meshes were added, runs in the
// order of their first mesh; upload() lays the runs end to end, so run r's instances start at
// runs()[r].first. Kept from draw to draw so that gathering allocates nothing once warm.
class ModelInstances {
public:
    struct Run {
        GLuint vaoId = 0;
        int vertexCount = 0;
        int firstIndex = 0;  // where the run's indices start in the element buffer
        int first = 0;       // index of the run's first matrix in the uploaded array (set by upload)
        int count = 0;
    };

    // Forgets every run, keeping the memory.
    void clear();
    // Which of a mesh's index lists its copy is drawn from; a mesh without the list asked for uses the
    // next finer one it has.
    enum class Detail { Full, Coarse, Outline };

    // Adds the mesh's model matrix to the run of its vertex array and index list, starting one if needed.
    void add(const Mesh& mesh, Detail detail = Detail::Full);
    // The matrices, run after run, into `buffer` (orphaning its old storage, so draws still queued on
    // it are not waited for). Sets each run's `first`. Leaves the shader-storage binding at 0.
    void upload(GLuint buffer);

    const std::vector<Run>& runs() const { return runList; }
    int instanceCount() const { return total; }

private:
    std::vector<Run> runList;
    std::vector<std::vector<glm::mat4>> runMatrices;  // one per run; inner vectors kept past clear()
    std::vector<glm::mat4> packed;                    // the uploaded array
    int total = 0;
};
