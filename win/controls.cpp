#include "win/controls.h"

#include <windows.h>

#include <commctrl.h>

#include "form/lists.h"
#include "win/layout.h"
#include "win/text.h"

namespace tarvok::win {

namespace {

// Overlapping siblings (a label under its list, a frame under its controls) draw
// only where nothing above them is.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

struct Native {
    const wchar_t* window_class;
    DWORD style;
    DWORD ex_style;
};

Native native(form::Kind kind) {
    switch (kind) {
    case form::Kind::label:
        // Left and centred in its height, one line, as the Linux window's labels.
        return {L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0};
    case form::Kind::text_box:
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case form::Kind::spin:
        return {UPDOWN_CLASSW, UDS_ARROWKEYS | WS_TABSTOP, 0};
    case form::Kind::button:
    case form::Kind::setting_button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case form::Kind::frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case form::Kind::list:
        return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    }
    return {L"STATIC", 0, 0};
}

// A drop-down list's height is its closed field's; the window is made taller by
// the list that drops, and the field is sized through its item height.
constexpr int kDroppedItems = 12;

void size_list_field(HWND combo, int height) {
    // The field grows one for one with the item height; what the list reports back
    // as that height differs between Windows and Wine, so only the field is measured.
    auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int round = 0; round < 3; ++round) {
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
        RECT now{};
        GetWindowRect(combo, &now);
        const int off = height - (now.bottom - now.top);
        if (off == 0) {
            return;
        }
        item += off;
    }
}

}  // namespace

HWND create_control(HWND window, const form::Control& design) {
    const Native n = native(design.kind);
    HWND control = CreateWindowExW(
        n.ex_style, n.window_class, wide(design.text).c_str(), kChild | n.style, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id(design.id))),
        GetModuleHandleW(nullptr), nullptr);
    if (design.kind == form::Kind::spin) {
        SendMessageW(control, UDM_SETRANGE32, 0, 255);
        SendMessageW(control, UDM_SETPOS32, 0, 1);
    }
    if (design.kind == form::Kind::list && design.fill == form::Fill::design) {
        fill_list(control, design.list);
    }
    return control;
}

void place_control(HWND control, const form::Control& design, UINT dpi, Fonts& fonts) {
    if (design.points > 0) {
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts.song(design.points, design.bold, dpi)), TRUE);
    }
    const RECT at = control_rect(design, dpi);
    const int height = at.bottom - at.top;
    const bool list = design.kind == form::Kind::list;
    const int dropped = list ? height * kDroppedItems : 0;
    SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left, height + dropped,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (list) {
        size_list_field(control, height);
    }
}

HWND create_button(HWND window, std::string_view caption, int id) {
    return CreateWindowExW(0, L"BUTTON", wide(caption).c_str(), kChild | BS_PUSHBUTTON | WS_TABSTOP,
                           0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void fill_list(HWND combo, form::List list) {
    // The design's words, as the captions beside them: their short English is the Qt
    // window's translation.
    for (const auto& entry : form::entries(list, words::Language::chinese)) {
        const auto at = SendMessageW(combo, CB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(wide(entry.text).c_str()));
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), entry.value);
    }
}

int list_value(HWND combo) {
    const auto at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

std::wstring text_of(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace tarvok::win
