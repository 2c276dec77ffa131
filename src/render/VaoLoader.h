#pragma once

#include "render/Mesh.h"
#include "render/TexturedMesh.h"

#include <GL/glew.h>

#include <memory>
#include <vector>

// Building vertex array objects from host arrays. Every attribute gets its own tightly packed float
// buffer; attribute indices are 0 position, 1 texture coordinates, 2 normal. All need the current
// context. The meshes returned own their vertex array and buffers (shared with copyMesh copies).

// Generates a vertex array object and binds it (left bound).
GLuint createVAO();

// Points attribute `attributeIndex` of `vaoId` at `instanceBuffer` (84-byte stride, one step per
// instance), starting `offsetInFloats` floats into each record. Unbinds the buffer and the vertex
// array afterwards.
void addInstancedAttribute(GLuint vaoId, GLuint instanceBuffer, int attributeIndex, int componentCount,
                           int offsetInFloats);

// Positions only, `dimensions` floats per vertex; no corners.
std::shared_ptr<Mesh> loadToVAO(const std::vector<float>& positions, int dimensions);

// Positions (attribute 0) and normals (attribute 2), three floats each, not indexed; no corners and
// a default material.
std::shared_ptr<TexturedMesh> loadToVAO(const std::vector<float>& positions, const std::vector<float>& normals);

// The model layout: indices, positions, texture coordinates and normals, with the bounding-box
// corners of the positions and a default material. `coarse` indices (a far version over the same
// vertices) follow the others in the element buffer, and the `outline` ones (for the shadow map)
// follow those (see Mesh::coarseCount and Mesh::outlineCount).
std::shared_ptr<TexturedMesh> loadIndexedToVAO(const std::vector<float>& positions, const std::vector<float>& normals,
                                               const std::vector<unsigned int>& indices,
                                               const std::vector<float>& textureCoords,
                                               const std::vector<unsigned int>& coarse = {},
                                               const std::vector<unsigned int>& outline = {});

// A new mesh with a fresh placement that shares `source`'s vertex data and material.
std::shared_ptr<TexturedMesh> copyMesh(const std::shared_ptr<TexturedMesh>& source);

// The eight corners of the bounding box of `positions` (x, y, z triples), maxima first:
// (X,Y,Z), (X,Y,z), (X,y,z), (X,y,Z), (x,Y,z), (x,Y,Z), (x,y,Z), (x,y,z). Empty without positions.
std::vector<glm::vec3> boundingBoxCorners(const std::vector<float>& positions);
