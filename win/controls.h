// The window's controls as native Windows controls, made and placed from the design.
#pragma once

#include <windows.h>

#include "form/design.h"
#include "win/fonts.h"

namespace tarvok::win {

// Each control's id is its place in the design's table, after this.
inline constexpr int kFirstControlId = 1000;
constexpr int control_id(form::Id id) { return kFirstControlId + static_cast<int>(id); }

// A child of `window` of the design's kind, caption and list; place_control sizes it.
HWND create_control(HWND window, const form::Control& design);
void place_control(HWND control, const form::Control& design, UINT dpi, Fonts& fonts);

// A button of a result or message window.
HWND create_button(HWND window, std::string_view caption, int id);

void fill_list(HWND combo, form::List list);
// The value of the entry picked (form/lists.h).
int list_value(HWND combo);

std::wstring text_of(HWND control);

}  // namespace tarvok::win
