// The design in pixels: twips are 15 to the pixel at 96 dots per inch and scale with
// the monitor's DPI, so the window keeps its size in inches on every screen.
#pragma once

#include <windows.h>

#include "form/design.h"

namespace tarvok::win {

// Rounded to the nearest pixel, as the Linux window rounds.
constexpr int px(int twips, UINT dpi) {
    return static_cast<int>((2LL * twips * dpi + 1440) / 2880);
}

// A control's place in the window's client area: the controls of a frame are
// children of the window, placed from the frame's corner.
RECT control_rect(const form::Control& control, UINT dpi);
RECT item_rect(const form::Twips& at, UINT dpi);

DWORD window_style(const form::Window& window);

// Sizes a top-level window's client area to the design. A window with a designed
// place lands there when all of it fits the work area of the monitor there;
// otherwise it moves the least distance that brings it fully on-screen.
void place_window(HWND hwnd, const form::Window& window, UINT dpi);

}  // namespace tarvok::win
