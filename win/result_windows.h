// fm_cg says a change succeeded, fm_sb that it failed: modeless top-level windows
// with no owner, one of each, made from the design on first show. "确定" hides one,
// its close box destroys it, and the next show makes it anew.
#pragma once

#include <windows.h>

#include "form/design.h"
#include "win/fonts.h"

namespace tarvok::win {

// The id of a result or notice window's "确定" button.
inline constexpr int kOkId = 100;

class ResultWindows {
public:
    explicit ResultWindows(Fonts& fonts) : fonts_(fonts) {}
    ~ResultWindows() { dispose(); }
    ResultWindows(const ResultWindows&) = delete;
    ResultWindows& operator=(const ResultWindows&) = delete;

    static void register_class(HINSTANCE instance);

    void show_success() { show(success_); }
    void show_failure() { show(failure_); }
    // Destroys both, shown or hidden.
    void dispose();

    HWND success() const { return success_.hwnd; }
    HWND failure() const { return failure_.hwnd; }

private:
    // A result window while it exists, and what its procedure needs.
    struct Slot {
        HWND hwnd;
        const form::ResultDialog* design;
        Fonts* fonts;
    };
    void show(Slot& slot);
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    Fonts& fonts_;
    Slot success_{nullptr, &form::kSuccessDialog, &fonts_};
    Slot failure_{nullptr, &form::kFailureDialog, &fonts_};
};

// A notice of the main window ("提示"): its sentence and "确定", modeless, owned by
// the window. A sentence already shown is not shown twice.
void show_notice(HWND owner, const std::string& sentence, Fonts& fonts);
void register_notice_class(HINSTANCE instance);

}  // namespace tarvok::win
