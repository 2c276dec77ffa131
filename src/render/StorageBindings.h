#pragma once

#include <GL/glew.h>

// The binding points of the shader-storage and atomic-counter buffers, the `binding =` of the blocks
// in shader/: one table for every pass, in which each point holds one kind of buffer only, and every
// pass binds all it reads and writes itself rather than relying on what an earlier pass left bound.
// kStorageBindingCount is how many shader-storage points the table needs of the driver.
namespace StorageBinding {
// The landscape: density.comp writes the grid points and marching_cubes_gen.comp reads them; the
// octave offsets of the density pass; the triangles the marching pass writes.
constexpr GLuint kDensityPoints = 0;
constexpr GLuint kOctaveOffsets = 1;
constexpr GLuint kTriangles = 2;
// The marching-cubes table: the landscape's marching pass and the fountain surface draw
// (fountain_surface.comp) each bind their copy here.
constexpr GLuint kTriangleTable = 3;
// A fountain: meta_fluid_particles.comp reads one particle set and writes the next (positions,
// velocities) along the flow field; meta_ball_density.comp splats the set the last step read into the
// density grid, which the surface pass (fountain_surface.comp) reads.
constexpr GLuint kParticlePositionsIn = 4;
constexpr GLuint kParticlePositionsOut = 5;
constexpr GLuint kParticleVelocitiesIn = 6;
constexpr GLuint kParticleVelocitiesOut = 7;
constexpr GLuint kFlowField = 8;
constexpr GLuint kFountainDensity = 9;
// The model matrices of the textured and shadow programs' instanced draws (textured.vertex,
// shadow.vertex), written by the renderer before each batch.
constexpr GLuint kModelInstances = 10;
// The fountain surface: fountain_surface.comp lists the triangles of the density grid's cells, counts
// them in the indirect draw and dispatch commands and writes their vertices, which
// fountain_surface.vert reads.
constexpr GLuint kFountainSurface = 11;
constexpr GLuint kFountainCommand = 12;
constexpr GLuint kFountainTriangles = 13;
}  // namespace StorageBinding

constexpr GLint kStorageBindingCount = 14;

namespace CounterBinding {
constexpr GLuint kTriangleCount = 0;  // marching_cubes_gen.comp
constexpr GLuint kParticleCount = 1;  // meta_fluid_particles.comp
}  // namespace CounterBinding
