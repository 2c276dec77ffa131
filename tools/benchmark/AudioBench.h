#pragma once

// Times the sound: synthesising every sound at start-up (against reading the same amount of sound
// data from a file, the cost if they were made at build time), and the audio work of a frame (the
// listener following the camera, with and without a sound starting), over `frames` frames. It plays
// through OpenAL Soft's wave writer into /dev/null, so the mixer really runs and the figures do not
// depend on the machine's sound card; it must be the process's first use of OpenAL.
void measureAudio(int frames);
