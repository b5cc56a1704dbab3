// "通讯记录" on Windows, as on Debian (ui/traffic_window.h): every event of the traffic
// record on its own line in the words of bus/traffic_words.h, newest at the bottom, at
// most the record's kMostEvents lines with a note of how many were dropped, and the
// buttons 清空 and 保存… (text, or CSV by the name's end). Top-level, made on first
// show, destroyed by its close box and made anew, filled from the record.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "bus/traffic.h"
#include "win/fonts.h"
#include "win/window_proc.h"

namespace tarvok::win {

// Its class and its children's ids, for whoever drives it from outside.
inline constexpr const wchar_t* kTrafficClass = L"TarvokTraffic";
enum TrafficItem { kTrafficView = 201, kTrafficNote, kTrafficClear, kTrafficSave };

class TrafficWindow {
public:
    // `keep_line` runs while the save dialog holds the thread, so the port is still served.
    TrafficWindow(bus::TrafficRecord& record, Fonts& fonts, std::function<void()> keep_line);
    ~TrafficWindow();
    TrafficWindow(const TrafficWindow&) = delete;
    TrafficWindow& operator=(const TrafficWindow&) = delete;

    static void register_class(HINSTANCE instance);

    // Makes it when there is none (owned by `owner`), shows it and brings it to the front.
    void show(HWND owner);
    // The record took `event`: shown with the next batch.
    void recorded(const bus::TrafficEvent& event);
    HWND hwnd() const { return hwnd_; }

private:
    friend LRESULT CALLBACK owned_window_proc<TrafficWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void create_children();
    void layout();
    void flush();
    void clear_all();
    void choose_file();
    void save_to(const std::wstring& path);

    bus::TrafficRecord& record_;
    Fonts& fonts_;
    std::function<void()> keep_line_;
    HWND hwnd_ = nullptr;
    std::deque<std::string> pending_;  // lines not yet shown; only the newest can be
    bool flush_due_ = false;
};

}  // namespace tarvok::win
