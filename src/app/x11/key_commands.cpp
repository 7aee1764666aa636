#include "app/x11/key_commands.h"

#include "app/exit_rules.h"

#include <X11/keysym.h>

namespace cs {

unsigned SceneKeyFor(unsigned long symbol) {
    unsigned key = 0;
    if (symbol >= XK_a && symbol <= XK_z) key = static_cast<unsigned>('A' + (symbol - XK_a));
    else if (symbol >= XK_A && symbol <= XK_Z) key = static_cast<unsigned>(symbol);
    else if (symbol == XK_Left) key = static_cast<unsigned>(VirtualKey::Left);
    else if (symbol == XK_Right) key = static_cast<unsigned>(VirtualKey::Right);
    else if (symbol == XK_Up) key = static_cast<unsigned>(VirtualKey::Up);
    else if (symbol == XK_Down) key = static_cast<unsigned>(VirtualKey::Down);
    return CommandForKey(key) != SceneCommand::None ? key : 0;
}

bool EndsProgram(unsigned long symbol) { return symbol == XK_Escape || symbol == XK_q || symbol == XK_Q; }

}  // namespace cs
