// The window's face: "宋体" where Windows has it (SimSun). Elsewhere, on Wine or a
// Windows without Chinese fonts, the built-in Tarvok Song, loaded from the program's
// own resources, so every caption draws.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

namespace tarvok::win {

// The two faces' resources (RCDATA), as tarvok.rc names them.
inline constexpr int kSongRegularResource = 201;
inline constexpr int kSongBoldResource = 202;

// Fonts of the design, made once each and kept while the window lives.
class Fonts {
public:
    explicit Fonts(HINSTANCE instance);
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // The face asked for by name.
    const std::wstring& face() const { return face_; }
    // `points` at `dpi`, GB2312, bold where asked.
    HFONT song(double points, bool bold, UINT dpi);

private:
    std::wstring face_;
    std::map<std::tuple<double, bool, UINT>, HFONT> made_;
    std::map<int, HANDLE> loaded_;
};

}  // namespace tarvok::win
