#pragma once

// The screen's fonts: Tahoma (from Wine's free copy when fontconfig does not
// know it), and the old Windows names mapped onto what the system has.
namespace Fonts {
void install();
}
