// What the page does for the game besides its events.
#pragma once

// The next Yes/No question is answered `yes` without a dialog: the page has
// asked it already (on a touch screen it asks with buttons of its own).
void answerNextQuestion(bool yes);

// The view follows the canvas's backing store, which the page sizes (its CSS
// size times devicePixelRatio, capped): run before each frame.
void followCanvasSize();
