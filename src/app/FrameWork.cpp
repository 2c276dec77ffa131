#include "app/FrameWork.h"

FrameWork frameWork(const FrameState& state) {
    if (!state.menuOpen || !state.worldStill || state.worldChanged) return FrameWork::Everything;
    if (state.menuUnchanged && !state.redrawAsked) return FrameWork::Nothing;
    return FrameWork::MenuOverKept;
}
