// "宋体" is rarely installed outside Chinese Windows. Substitutes make it resolve to
// a Song-style face that is, so Chinese text never falls back to a Latin font.
#pragma once

#include <QString>

namespace tarvok::ui {

inline constexpr const char* kSongFamily = "宋体";

// Registers the substitutes once per process; later calls do nothing.
void register_song_face();

// The installed family that "宋体" resolves to, empty when none of the
// substitutes is installed.
QString song_face();

}  // namespace tarvok::ui
