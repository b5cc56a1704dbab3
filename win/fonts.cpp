#include "win/fonts.h"

#include <cmath>

namespace tarvok::win {

namespace {

constexpr const wchar_t* kSimSun = L"SimSun";
constexpr const wchar_t* kBuiltIn = L"Tarvok Song";

int CALLBACK found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) {
    *reinterpret_cast<bool*>(seen) = true;
    return 0;
}

bool installed(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool seen = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, found, reinterpret_cast<LPARAM>(&seen), 0);
    ReleaseDC(nullptr, screen);
    return seen;
}

// Registers a face kept in the program's resources for this process alone; the
// resource stays mapped for the process's life, so nothing is copied out.
HANDLE load_face(HINSTANCE instance, int id) {
    HRSRC found_resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (found_resource == nullptr) {
        return nullptr;
    }
    HGLOBAL data = LoadResource(instance, found_resource);
    DWORD count = 0;
    return AddFontMemResourceEx(LockResource(data), SizeofResource(instance, found_resource),
                                nullptr, &count);
}

}  // namespace

Fonts::Fonts(HINSTANCE instance) {
    if (installed(kSimSun) || installed(L"宋体")) {
        face_ = kSimSun;
        return;
    }
    for (const int id : {kSongRegularResource, kSongBoldResource}) {
        if (HANDLE face = load_face(instance, id)) {
            loaded_[id] = face;
        }
    }
    face_ = kBuiltIn;
}

Fonts::~Fonts() {
    for (const auto& [key, font] : made_) {
        DeleteObject(font);
    }
    for (const auto& [id, face] : loaded_) {
        RemoveFontMemResourceEx(face);
    }
}

HFONT Fonts::song(double points, bool bold, UINT dpi) {
    const auto key = std::make_tuple(points, bold, dpi);
    if (const auto at = made_.find(key); at != made_.end()) {
        return at->second;
    }
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(font.lfFaceName, face_.c_str(), LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&font);
    made_[key] = made;
    return made;
}

}  // namespace tarvok::win
