#!/bin/sh
# Runs the game from its own folder, which holds the data files it loads.
cd "$(dirname "$0")" && exec ./shooter
