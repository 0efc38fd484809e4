// The game's readers report through the OS contract's message box; in the
// data generator that box only keeps the text, for the generator to print.
#pragma once

#include <string>

// The text of the last message a reader showed.
std::string& lastReaderMessage();
