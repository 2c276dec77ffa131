#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "assets/AssetExpectations.h"
#include "render/TextureLoader.h"

// Textures that the game repeats, and the sky cube's faces, must meet their neighbours without a
// visible edge. "Visible" is judged against the picture's own texture next to the seam: the step
// across a seam may not be much larger than the step from the edge pixels one pixel inwards. (A
// picture that does not tile steps across its seam by ten times that and more.)

namespace {

struct Picture {
    std::vector<unsigned char> pixels;
    int size = 0;

    glm::vec4 at(int x, int y) const {
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * size + x) * 4];
        return glm::vec4(p[0], p[1], p[2], p[3]);
    }
};

Picture load(const std::string& name) {
    Picture picture;
    unsigned w = 0, h = 0;
    picture.pixels = decodePng(std::filesystem::absolute("res/textures/" + name).string(), &w, &h);
    picture.size = static_cast<int>(w);
    EXPECT_EQ(w, h) << name;
    return picture;
}

float difference(const glm::vec4& a, const glm::vec4& b) {
    glm::vec4 d = glm::abs(a - b);
    return d.r + d.g + d.b + d.a;
}

// The direction a cube-map texel stands for, after OpenGL's cube-map face table (face
// 0..5 = +X, -X, +Y, -Y, +Z, -Z; s to the right, t down the rows as uploaded).
glm::vec3 texelDirection(int face, float s, float t) {
    float sc = 2 * s - 1, tc = 2 * t - 1;
    const glm::vec3 dirs[6] = {{1, -tc, -sc}, {-1, -tc, sc}, {sc, 1, tc}, {sc, -1, -tc}, {sc, -tc, 1}, {-sc, -tc, -1}};
    return glm::normalize(dirs[face]);
}

// The face and texel that a direction falls on, again after that table.
std::array<int, 3> texelOf(const glm::vec3& d, int size) {
    glm::vec3 a = glm::abs(d);
    int face;
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x > 0 ? 0 : 1;
        ma = a.x;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
    } else if (a.y >= a.z) {
        face = d.y > 0 ? 2 : 3;
        ma = a.y;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
    } else {
        face = d.z > 0 ? 4 : 5;
        ma = a.z;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
    }
    auto texel = [&](float c) { return std::clamp(static_cast<int>((c / ma + 1) / 2 * size), 0, size - 1); };
    return {face, texel(sc), texel(tc)};
}

struct SeamSteps {
    float across = 0;  // mean step from edge texels to the texels beyond the edge
    float inward = 0;  // mean step from edge texels to the texels one further in
    bool visible() const { return across > 1.5f * inward + 1.0f; }
};

// Steps across all twelve edges of a cube: every edge texel against the texel that lies just beyond
// the edge on the neighbouring face.
SeamSteps cubeSeams(const std::vector<Picture>& faces) {
    int n = faces[0].size;
    double across = 0, inward = 0;
    long count = 0;
    for (int face = 0; face < 6; ++face)
        for (int i = 1; i + 1 < n; ++i) {
            const std::array<int, 4> edges[4] = {{i, 0, 0, -1}, {i, n - 1, 0, 1}, {0, i, -1, 0}, {n - 1, i, 1, 0}};
            for (const auto& e : edges) {
                float s = (e[0] + 0.5f + e[2]) / n, t = (e[1] + 0.5f + e[3]) / n;
                auto other = texelOf(texelDirection(face, s, t), n);
                EXPECT_NE(other[0], face);
                glm::vec4 edgeTexel = faces[face].at(e[0], e[1]);
                across += difference(edgeTexel, faces[other[0]].at(other[1], other[2]));
                inward += difference(edgeTexel, faces[face].at(e[0] - e[2], e[1] - e[3]));
                ++count;
            }
        }
    return {static_cast<float>(across / count), static_cast<float>(inward / count)};
}

// Steps across the wrap-around edges of a repeating picture, left-right and top-bottom.
std::array<SeamSteps, 2> tileSeams(const Picture& p) {
    int n = p.size;
    std::array<SeamSteps, 2> seams;
    for (int i = 0; i < n; ++i) {
        seams[0].across += difference(p.at(n - 1, i), p.at(0, i)) / n;
        seams[0].inward += (difference(p.at(n - 1, i), p.at(n - 2, i)) + difference(p.at(0, i), p.at(1, i))) / (2 * n);
        seams[1].across += difference(p.at(i, n - 1), p.at(i, 0)) / n;
        seams[1].inward += (difference(p.at(i, n - 1), p.at(i, n - 2)) + difference(p.at(i, 0), p.at(i, 1))) / (2 * n);
    }
    return seams;
}

}  // namespace

TEST(AssetSeamTest, RepeatingTexturesTileWithoutAnEdge) {
    for (const char* name : {"sand_tile_2048.png", "Jade_2048.png", "water/dudv.png", "water/normal.png"}) {
        SCOPED_TRACE(name);
        Picture p = load(name);
        ASSERT_GT(p.size, 2);
        auto seams = tileSeams(p);
        EXPECT_FALSE(seams[0].visible()) << "left and right edges step by " << seams[0].across;
        EXPECT_FALSE(seams[1].visible()) << "top and bottom edges step by " << seams[1].across;
    }
}

TEST(AssetSeamTest, SkyCubeFacesMeetAtEveryEdge) {
    for (const auto& names : {assetexpect::dayFaces(), assetexpect::nightFaces()}) {
        SCOPED_TRACE(names[0]);
        std::vector<Picture> faces;
        for (const std::string& name : names) faces.push_back(load(name));
        ASSERT_EQ(faces.size(), 6u);
        SeamSteps seams = cubeSeams(faces);
        EXPECT_FALSE(seams.visible()) << seams.across << " across the edges, " << seams.inward << " inside";
    }
}

TEST(AssetSeamTest, SeamChecksNoticeMisplacedPictures) {
    // The same checks must fail on pictures that do not fit, or they prove nothing: the day sky
    // with its top face upside down, and the jade tile cut in half.
    std::vector<Picture> faces;
    for (const std::string& name : assetexpect::dayFaces()) faces.push_back(load(name));
    Picture& top = faces[2];
    Picture flipped = top;
    for (int y = 0; y < top.size; ++y)
        std::copy_n(&top.pixels[static_cast<size_t>(top.size - 1 - y) * top.size * 4], top.size * 4,
                    &flipped.pixels[static_cast<size_t>(y) * top.size * 4]);
    top = flipped;
    EXPECT_TRUE(cubeSeams(faces).visible());

    Picture jade = load("Jade_2048.png");
    Picture half;
    half.size = jade.size / 2;
    for (int y = 0; y < half.size; ++y)
        half.pixels.insert(half.pixels.end(), &jade.pixels[static_cast<size_t>(y) * jade.size * 4],
                           &jade.pixels[(static_cast<size_t>(y) * jade.size + half.size) * 4]);
    auto seams = tileSeams(half);
    EXPECT_TRUE(seams[0].visible());
    EXPECT_TRUE(seams[1].visible());
}
