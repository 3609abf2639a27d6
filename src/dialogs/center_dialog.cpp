// Centring works in signed 16-bit coordinates, as window positions travel in the platform's
// messages; a size that does not fit keeps its low 16 bits.
#include "dialogs/center_dialog.h"

#include <cstdint>

namespace wbh {

namespace {

int Low16(int value) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(value)); }

// The position that centres `size` pixels on `screen` pixels.
int CenteredPosition(int screen, int size) {
    const long difference = static_cast<long>(screen) - Low16(size);
    // Halving that rounds toward minus infinity (-61 gives -31), whatever the compiler's shift.
    const long half = difference >= 0 ? difference / 2 : -((-difference + 1) / 2);
    return Low16(static_cast<int>(half));
}

}  // namespace

void CenterDialogOnScreen(platform::Dialog& dialog) {
    const platform::WindowRect bounds = dialog.Bounds();
    const int width = Low16(bounds.right - bounds.left);
    const int height = Low16(bounds.bottom - bounds.top);
    const platform::ScreenSize screen = dialog.Screen();
    dialog.Move(CenteredPosition(screen.width, width), CenteredPosition(screen.height, height),
                width, height);
}

}  // namespace wbh
