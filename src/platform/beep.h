#pragma once
#include <functional>

// The platform's warning sound, for a search that finds nothing: a sound
// instead of a box, so that the reader's next Enter is not swallowed.
namespace Beep {

void beep();

// Tests count the beeps instead of hearing them; nullptr restores the sound.
using Handler = std::function<void()>;
void setHandler(Handler handler);

}   // namespace Beep
