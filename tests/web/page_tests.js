// The page around the game: its canvas, its buttons and its keys.
'use strict';

module.exports = {};
