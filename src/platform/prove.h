// The level editor's reader and prover as a tiny C API (prove.cpp): what the page calls in its module, and
// what a native program built with prove.cpp calls the same way.
#pragma once

extern "C" {
// 1 when the reader takes the `length` bytes of level text; the refusal's line otherwise.
int readText(const char* text, int length);
int errorLine();
int levelRobots();
// Proves the level last read: `shortest` 0 weighted, 1 breadth-first. 0 won, 1 cannot be won, 2 undecided,
// 3 no room for the search.
int proveLevel(int shortest);
int goalOutOfReach();
int planTicks();
int planLines();
int planKey(int i);
double statesExplored();
// The level an ID names, made by the generator: its text's length (0 for none) and its text.
int generateText(const char* id);
const char* generatedText();
}
