#pragma once
// The keys of a window of our own: the scene's command keys under the
// codes the scene knows them by, and the keys that end the program.
namespace cs {

// The scene's key code for a key symbol (letters as upper case, the
// arrows), or 0 for a key that is not a command.
unsigned SceneKeyFor(unsigned long symbol);
// Escape and q. (Symbols are X key symbols, kept free of X's headers,
// whose macros clash with the scene's names.)
bool EndsProgram(unsigned long symbol);

}  // namespace cs
