#include "app/LiveOptions.h"

#include "app/FrameLimiter.h"
#include "app/FullScreen.h"
#include "audio/GameAudio.h"
#include "game/Game.h"
#include "menu/Captions.h"
#include "menu/Settings.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <string>

namespace {

bool sameLook(const LookSettings& a, const LookSettings& b) {
    return a.mode == b.mode && a.sensitivity == b.sensitivity && a.invertY == b.invertY &&
           a.fieldOfView == b.fieldOfView;
}

}  // namespace

void applyOptions(const Settings& was, const Settings& now, const LiveTargets& to) {
    if (Game* game = to.game) {
        if (!sameLook(was.look, now.look)) game->setLook(now.look);
        if (was.quality != now.quality || was.renderScale != now.renderScale) {
            const GLubyte* name = glGetString(GL_RENDERER);
            const std::string renderer = name ? reinterpret_cast<const char*>(name) : "";
            game->setQuality(graphicsQuality(chosenQualityLevel(now, renderer), now));
        }
        if (was.difficulty != now.difficulty) game->setDifficulty(now.difficulty);
        if (was.hudScale != now.hudScale) game->setHudScale(now.hudScale);
    }
    if (to.limiter && was.fpsLimit != now.fpsLimit) to.limiter->setLimit(now.fpsLimit);
    if (to.window && was.vsync != now.vsync) glfwSwapInterval(now.vsync ? 1 : 0);
    if (to.fullScreen && to.window && now.fullscreen != to.fullScreen->isOn())
        to.fullScreen->set(to.window, now.fullscreen);
    if (to.audio) {
        if (was.audioVolume != now.audioVolume) to.audio->setVolume(now.audioVolume);
        if (was.audioAmbience != now.audioAmbience) to.audio->setAmbience(now.audioAmbience);
    }
    if (to.captions && was.captions != now.captions) to.captions->setEnabled(now.captions);
}
