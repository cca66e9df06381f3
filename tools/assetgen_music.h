// The four tunes of the game, synthesised from written-out notes and encoded as Ogg Vorbis.
// Every tune is a whole number of bars that loops without a seam; nothing here reads a clock or the world.
#pragma once

namespace music {

enum class Tune { title, level1, level2, rageQuit };

// Renders the tune and writes it to path; false (with a message) when the file cannot be written.
bool writeTune(Tune tune, const char* path);

}  // namespace music
