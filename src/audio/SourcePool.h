#pragma once

#include <AL/al.h>

#include <cstdint>
#include <vector>

// A fixed set of OpenAL sources shared by all one-shot sounds. A sound takes a source that has
// finished; when every source is busy it takes over the one that started longest ago, so a burst of
// shots never goes unheard and never grows the pool. Needs a current OpenAL context.
class SourcePool {
public:
    explicit SourcePool(int size);
    ~SourcePool();

    SourcePool(const SourcePool&) = delete;
    SourcePool& operator=(const SourcePool&) = delete;

    // A source ready for a new sound (stopped, with nothing queued); 0 when the pool is empty.
    ALuint acquire();

    // Pauses every playing source, or resumes those that are paused, each where it stopped.
    void setPaused(bool paused);

    int size() const { return static_cast<int>(sources.size()); }

private:
    std::vector<ALuint> sources;
    std::vector<uint64_t> startedAt;  // order in which the sources were last handed out
    uint64_t handedOut = 0;
};
