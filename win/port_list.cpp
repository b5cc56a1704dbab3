#include "win/port_list.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "serial/port_registry.h"

namespace tarvok::win {

std::optional<int> com_number(std::wstring_view name) {
    if (name.size() < 4 || name.size() > 6) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::towupper(name[i]) != L"COM"[i]) {
            return std::nullopt;
        }
    }
    int number = 0;
    for (const wchar_t c : name.substr(3)) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        number = number * 10 + (c - L'0');
    }
    if (name[3] == L'0' || number < serial::kFirstPort || number > serial::kLastPort) {
        return std::nullopt;
    }
    return number;
}

std::vector<AvailablePort> available_ports() {
    std::vector<AvailablePort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        wchar_t name[64];
        DWORD device_size = 256;
        DWORD name_bytes = sizeof name;
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, device, &device_size, nullptr, &type,
                                             reinterpret_cast<BYTE*>(name), &name_bytes);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        std::wstring_view text(name, name_bytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') {
            text.remove_suffix(1);
        }
        if (const auto number = com_number(text)) {
            ports.push_back({*number, std::wstring(device, device_size)});
        }
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(),
              [](const AvailablePort& a, const AvailablePort& b) { return a.number < b.number; });
    return ports;
}

std::wstring port_table_text(const std::vector<AvailablePort>& ports, std::wstring_view between) {
    if (ports.empty()) {
        return L"没有找到串口";
    }
    std::wstring text;
    for (const auto& port : ports) {
        const std::wstring n = std::to_wstring(port.number);
        text += (text.empty() ? L"" : std::wstring(between)) + n + L" = COM" + n + L" (" +
                port.device + L")";
    }
    return text;
}

}  // namespace tarvok::win
