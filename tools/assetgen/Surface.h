#pragma once

#include <functional>
#include <string>
#include <utility>

#include <glm/glm.hpp>

// A rectangle of texture space, in texture coordinates (v = 0 at the bottom of the picture).
struct UvRect {
    float u0, v0, u1, v1;
};

// A parametric patch P(s, t) with s, t in [0, 1]. s runs "east" and t "north", so the surface's
// outside is the side that cross(dP/ds, dP/dt) points to. The same patch tessellates a model part and
// bakes that part's texture, so painted features land exactly where the geometry is.
class Surface {
public:
    using Shape = std::function<glm::vec3(float s, float t)>;
    using UvMapping = std::function<glm::vec2(float s, float t)>;

    // `rect` is where the part's texture lives; 1.5 texels are kept free at its border so
    // bilinear filtering never reaches the neighbouring part.
    Surface(std::string name, Shape shape, UvRect rect, int textureSize, int columns, int rows);

    const std::string& name() const { return partName; }
    int columns() const { return cols; }
    int rows() const { return rowCount; }
    const UvRect& rect() const { return uvRect; }

    glm::vec3 position(float s, float t) const { return shape(s, t); }
    // Outward unit normal from central differences; poles average their ring.
    glm::vec3 normal(float s, float t) const;
    glm::vec2 uv(float s, float t) const;
    // Replaces the rectangle mapping (for parts painted as a picture, such as eyes); such a part
    // cannot be baked.
    void setUvMapping(UvMapping mapping) { uvMapping = std::move(mapping); }
    // The (s, t) that a texture coordinate inside `rect` shows, clamped to the patch.
    glm::vec2 parameterAt(const glm::vec2& uv) const;

private:
    glm::vec3 rawNormal(float s, float t) const;

    std::string partName;
    Shape shape;
    UvMapping uvMapping;
    UvRect uvRect;
    float inset;
    int cols, rowCount;
};
