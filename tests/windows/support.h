// Checks for the Windows programs under Wine: a failed check prints where and what,
// and the program exits 1 at the end; waits poll a condition up to a bound that only
// a hang reaches.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>

#include "win/text.h"
#include "words/language.h"

namespace tarvok::test {

inline int failures = 0;

inline bool check(bool ok, const std::string& what, int line) {
    if (!ok) {
        ++failures;
        std::printf("FAIL line %d: %s\n", line, what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

#define CHECK(condition, what) ::tarvok::test::check((condition), (what), __LINE__)

// Polls `condition` every 20 ms for up to `ms`.
inline bool wait_for(const std::function<bool()>& condition, DWORD ms = 20'000) {
    const ULONGLONG until = GetTickCount64() + ms;
    while (!condition()) {
        if (GetTickCount64() > until) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

inline std::string text(HWND window) {
    wchar_t buffer[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return win::utf8(buffer);
}

// The whole file, read anew: a simulator's log as it stands.
inline std::string file_text(const std::wstring& path) {
    std::string out;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return out;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        out.append(buffer, got);
    }
    CloseHandle(file);
    return out;
}

// Windows sets no locale variable; with none set the language is the user's display
// language, which Wine takes from the locale run.sh starts the program in: `shown`,
// "zh" or "en". Set, the variables decide as on Linux. Clears them for good.
inline void check_language(const std::string& shown) {
    using words::Language;
    const Language display = shown == "zh" ? Language::chinese : Language::english;
    const struct {
        const wchar_t* set;
        Language language;
    } rows[] = {{L"", display},
                {L"LANG=en_US.UTF-8", Language::english},
                {L"LC_ALL=C", Language::chinese},
                {L"LANGUAGE=zh_CN", Language::chinese}};
    for (const auto& row : rows) {
        for (const wchar_t* name : {L"LANGUAGE=", L"LC_ALL=", L"LC_MESSAGES=", L"LANG="}) {
            _wputenv(name);
        }
        if (*row.set != L'\0') {
            _wputenv(row.set);
        }
        CHECK(words::language_from_environment() == row.language,
              "the language with \"" + win::utf8(row.set) + "\" on a " + shown + " display");
    }
}

}  // namespace tarvok::test
