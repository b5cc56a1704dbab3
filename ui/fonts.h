// "宋体" is rarely installed outside Chinese Windows. Where SimSun is missing it
// resolves to Tarvok Song, a Song-style face built into the program: a subset of
// Noto Serif CJK SC with every character our windows show (rebuilt by
// scripts/make_font_subset.sh). Characters outside it, such as typed text, still fall
// back through the system's fonts.
#pragma once

#include <QString>

namespace tarvok::ui {

inline constexpr const char* kSongFamily = "宋体";
inline constexpr const char* kSubsetFamily = "Tarvok Song";

// Registers the built-in face and the substitute once per process; later calls do
// nothing. Needs a QGuiApplication.
void register_song_face();

// The face to ask for by name, so that each font skips looking for "宋体" first:
// the one registered, or "宋体" itself where neither is there. Registers them.
QString song_family();

}  // namespace tarvok::ui
