#pragma once

#include <GL/glew.h>

// Binding points of the shader-storage and atomic-counter buffers, the `binding =` of the blocks in
// shader/. They are process-wide GL state, and a pass may read what an earlier pass left bound (the
// triangle table, the fountain density grid for the surface draw).
namespace StorageBinding {
// density.comp: the landscape's grid points, written; its octave offsets.
constexpr GLuint kDensityPoints = 0;
constexpr GLuint kOctaveOffsets = 1;
// marching_cubes_gen.comp: the triangles, written; the triangle table; the grid points, read.
constexpr GLuint kTriangles = 0;
constexpr GLuint kTriangleTable = 1;
constexpr GLuint kMarchingPoints = 3;
// meta_fluid_particles.comp: positions and velocities read and written, the flow field; the
// fountain density grid is bound at kParticleDensity too, though the shader declares no block there.
constexpr GLuint kParticlePositionsIn = 0;
constexpr GLuint kParticlePositionsOut = 2;
constexpr GLuint kFlowField = 4;
constexpr GLuint kParticleVelocitiesIn = 6;
constexpr GLuint kParticleVelocitiesOut = 7;
constexpr GLuint kParticleDensity = 8;
// meta_ball_density.comp: the positions it splats; the fountain density grid, written here and read
// by the surface draw (marching_cubes.vert and .geom, with the triangle table).
constexpr GLuint kSplatPositions = 2;
constexpr GLuint kFountainDensity = 4;
}  // namespace StorageBinding

namespace CounterBinding {
constexpr GLuint kTriangleCount = 2;  // marching_cubes_gen.comp
constexpr GLuint kParticleCount = 5;  // meta_fluid_particles.comp
}  // namespace CounterBinding
