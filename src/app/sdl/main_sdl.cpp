// Placeholder: replaced by the SDL2 shell.
#include <SDL.h>
int main(int, char**) { return 0; }
