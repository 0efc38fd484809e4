// The rifle's sound in the browser, through OpenAL (Web Audio underneath).
#pragma once

// Browsers start sound only after a click or key: called from the click handler.
void resumeAudio();

// Plays a wave file from the start, loading it on first use; silent on failure.
void playWave(const char* fileName);

// Sounds started so far (a read-out for the tests).
unsigned wavesStarted();
