#include "support/GlProbes.h"

namespace testsupport {

GLuint countDuring(GLenum target, const std::function<void()>& draw) {
    GLuint query = 0, result = 0;
    glGenQueries(1, &query);
    glBeginQuery(target, query);
    draw();
    glEndQuery(target);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &result);
    glDeleteQueries(1, &query);
    return result;
}

Pixel centreAfter(const std::function<void()>& draw, int size, const Pixel& background) {
    OffscreenTarget target(size);
    target.clear(background);
    draw();
    return target.centre();
}

GLuint imageTexture(int size, const std::vector<Pixel>& texels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

GLuint solidTexture(const Pixel& colour) { return imageTexture(1, {colour}); }

bool linkedWell(GLuint program) {
    GLint status = GL_FALSE;
    if (glIsProgram(program)) glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

}  // namespace testsupport
