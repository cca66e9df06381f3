// The screens' frame steps. Until the views exist a screen draws nothing and is never won.
#include "screens.h"

screens::screens(SDL_Surface*) {}

bool screens::frame(int, SDL_Surface*, int) { return false; }
