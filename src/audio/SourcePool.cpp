#include "audio/SourcePool.h"

#include <algorithm>

SourcePool::SourcePool(int size) {
    for (int i = 0; i < size; ++i) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) break;  // the device offers fewer sources; use those
        sources.push_back(source);
    }
    startedAt.assign(sources.size(), 0);
}

SourcePool::~SourcePool() {
    if (sources.empty()) return;
    alSourceStopv(static_cast<ALsizei>(sources.size()), sources.data());
    alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
}

ALuint SourcePool::acquire() {
    if (sources.empty()) return 0;
    size_t chosen = 0;
    bool free = false;
    for (size_t i = 0; i < sources.size() && !free; ++i) {
        ALint state = AL_STOPPED;
        alGetSourcei(sources[i], AL_SOURCE_STATE, &state);
        free = state == AL_STOPPED || state == AL_INITIAL;
        if (free || startedAt[i] < startedAt[chosen]) chosen = i;
    }
    const ALuint source = sources[chosen];
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    startedAt[chosen] = ++handedOut;
    return source;
}

void SourcePool::setPaused(bool paused) {
    for (ALuint source : sources) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (paused && state == AL_PLAYING) alSourcePause(source);
        if (!paused && state == AL_PAUSED) alSourcePlay(source);
    }
}
