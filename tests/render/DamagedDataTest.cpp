#include "effects/Hud.h"
#include "render/ColladaLoader.h"
#include "render/ShaderProgram.h"
#include "render/ShaderSource.h"
#include "render/TextureLoader.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/stat.h>

#include <functional>

// The game cannot run without its shaders, textures, font and models: each damaged or missing file,
// through the real loader, stops it with status 1 before the round, naming the file and the reason.

namespace {

struct Damage {
    const char* label;
    std::function<void()> load;
    const char* message;  // a regular expression for standard error
};

void expectRefusals(const std::vector<Damage>& cases) {
    for (const Damage& c : cases) EXPECT_EXIT(c.load(), testing::ExitedWithCode(1), c.message) << c.label;
}

std::string png(unsigned size) {
    std::vector<unsigned char> encoded;
    lodepng::encode(encoded, std::vector<unsigned char>(size * size * 4, 200), size, size);
    return std::string(encoded.begin(), encoded.end());
}

// Every loader reads and checks its file before the first GL call, so these need no context.
TEST(DamagedDataDeathTest, FilesTheGameCannotUseStopItNamingTheFileAndWhy) {
    testsupport::TempDirectory folder(true);
    const std::string good = png(4);
    folder.writeText("res/textures/garbage.png", "this is no picture");
    folder.writeText("res/textures/cut.png", good.substr(0, good.size() / 2));
    folder.writeText("res/textures/small_2048.png", png(16));
    folder.writeText("res/hud_font.ttf", "no glyphs here");
    folder.writeText("res/models/flat.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\no flat\nf 1 2 3\n");
    folder.writeText("res/models/wire.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\no wire\nf 1//1 2//1 3//1\nl 1 2\n");
    folder.writeText("res/models/none.dae",
                     "<?xml version=\"1.0\"?><COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" "
                     "version=\"1.4.1\"><library_visual_scenes><visual_scene id=\"s\"><node id=\"n\"/>"
                     "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/></scene>"
                     "</COLLADA>");
    mkdir((folder.path() + "/shader").c_str(), 0700);
    mkfifo((folder.path() + "/fifo.frag").c_str(), 0600);
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    expectRefusals({
        {"missing shader", [&] { readFile(folder.path() + "/absent.frag"); },
         "Cannot load shader .*/absent\\.frag: No such file or directory"},
        {"shader folder", [&] { readFile(folder.path() + "/shader"); }, "/shader: is a directory"},
        {"shader FIFO", [&] { readFile(folder.path() + "/fifo.frag"); }, "/fifo\\.frag: is not a regular file"},
        {"missing texture", [] { loadTexture("absent_64.png", 64, 64); },
         "Cannot load texture .*/res/textures/absent_64\\.png: No such file"},
        {"no PNG", [] { loadTexture("garbage.png", 4, 4); }, "garbage\\.png: not a PNG image .*decoder error"},
        {"cut PNG", [] { loadCubeMap({"cut.png"}, 4, 4); }, "cut\\.png: not a PNG image"},
        {"small layer", [] { loadTextureArray({"small_2048.png"}); }, "small_2048\\.png: it is 16x16"},
        {"missing face",
         [] {
             loadCubeMap({"small_2048.png", "absent.png"}, 16, 16);
         },
         "absent\\.png: No such"},
        {"no font", [] { Hud(320, 240); }, "Cannot load font .*/res/hud_font\\.ttf: not a font FreeType can use"},
        {"no model", [&] { ColladaLoader::loadModel("absent.dae", meshes); }, "Cannot load model .*absent\\.dae"},
        {"no normals", [&] { ColladaLoader::loadModel("flat.obj", meshes); }, "flat\\.obj.*no normals"},
        {"a line", [&] { ColladaLoader::loadModel("wire.obj", meshes); }, "wire\\.obj.*face with 2 indices"},
        {"no meshes", [&] { ColladaLoader::loadModel("none.dae", meshes); }, "none\\.dae: it has no meshes"},
    });
    std::remove((folder.path() + "/res/hud_font.ttf").c_str());
    EXPECT_EXIT(Hud(320, 240), testing::ExitedWithCode(1), "hud_font\\.ttf: No such file");
}

// Compiling and linking need a context, which a forked child must not share: each case runs in a fresh
// process of its own.
TEST(DamagedShaderDeathTest, SourcesThatDoNotCompileOrLinkStopTheGameWithTheLog) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::TempDirectory folder;
    const std::string broken = folder.writeText("bad.frag", "#version 430 core\nvoid main() { undeclared = 1; }\n");
    const std::string noMain = folder.writeText("nomain.vert", "#version 430 core\nvoid helper() {}\n");
    const std::string fragment =
        folder.writeText("ok.frag", "#version 430 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    const auto build = [](const std::string& vertex, const std::string& fragmentFile) {
        testsupport::glWindow();
        ShaderProgram program;
        program.vertexShaderPath = vertex;
        program.fragmentShaderPath = fragmentFile;
        program.init();
    };
    expectRefusals({
        {"compile", [&] { build(noMain, broken); },
         "Cannot load shader .*/bad\\.frag: it does not compile:\n.*undeclared"},
        {"link", [&] { build(noMain, fragment); },
         "Cannot link the shader program of .*nomain\\.vert, .*ok\\.frag:\n.*main"},
    });
}

}  // namespace
