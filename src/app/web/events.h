// The browser shell's input: the page's key, mouse, touch, focus and
// pointer-lock events and its buttons are queued as they arrive and handed to
// the game one at a time, like a desktop window's message queue; the pads are
// read once per frame, when the queue has run empty.
#pragma once

// Registers the page's event handlers on the canvas and the window.
void installEventHandlers();

// Handles the oldest queued event; false when the queue was empty.
bool pumpOneEvent();

// Queues a mouse move to (x, y) in the game's client coordinates: the
// virtual cursor the game warps (a real cursor cannot be moved by a page).
void queueCursorMove(double x, double y);

// A button the page draws over the game (F or Escape) was pressed or let go.
void queuePageButton(int virtualKey, bool down);

// Whether the player chose full screen (asked for again on every click).
void setWantFullscreen(bool fullscreen);
