// The rifle's sound in the browser, through the page's Web Audio.
#pragma once

// Browsers start sound only after a click or key: called from the click handler
// and before each play.
void resumeAudio();

// Loads a wave file for playWave: at start-up, so that the first shot's frame
// does not wait for the page's audio and the decoding.
void loadWave(const char* fileName);

// Plays a wave file from the start, loading it on first use; silent on failure.
void playWave(const char* fileName);

// Sounds started so far (a read-out for the tests).
unsigned wavesStarted();
