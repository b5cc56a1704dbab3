#include "serial/port_words.h"

#include "serial/port_registry.h"

namespace tarvok::serial::words {

namespace {

std::string port_name(int port, const std::string& device) {
    const std::string number = "串口 " + std::to_string(port);
    return device.empty() ? number : number + "（" + device + "）";
}

// Names the program that holds the port when the system can tell; ModemManager
// lets go by itself after probing a newly plugged adapter, so it gets advice of its
// own instead of "close it". A program that holds no lock may not be what keeps the
// port, so it is not simply told to close.
std::string port_busy(const std::string& name, const std::optional<PortHolder>& holder,
                      bool untold) {
    if (!holder && untold) {
        return "打开" + name + "失败：该串口正被其他程序占用；Windows 不告诉是哪个程序，"
               "请关闭可能在用它的程序（串口工具、厂家软件）后再打开。";
    }
    if (!holder) {
        return "打开" + name + "失败：该串口正被其他程序占用，请先关闭那个程序。";
    }
    const std::string who = holder->program + "（进程 " + std::to_string(holder->pid) + "）";
    if (holder->program == "ModemManager") {
        return name + "正被其他程序占用：" + who +
               "，它在探测新插入的设备，请等几秒后再打开。"
               "若它一直不放，请用 udev 规则给这个设备设置 "
               "ID_MM_DEVICE_IGNORE=1，让 ModemManager 不再碰它。";
    }
    switch (holder->kind) {
    case HoldKind::lock:
    case HoldKind::lock_file:
        break;
    case HoldKind::open_only:
        return name + "正被其他程序占用：" + who +
               "打开了它，但没有加锁，串口可能仍在被它使用；请确认它不再需要这个串口后再关闭它。";
    }
    return name + "正被其他程序占用：" + who + "，请先关闭那个程序。";
}

// The lock folder is sticky: only the file's owner and root may remove it.
std::string stale_lock(const std::string& name, const std::string& lock, const std::string& owner) {
    const std::string who = owner == "root" ? "只有 root" : "只有该用户或 root";
    return "打开" + name + "失败：锁文件 " + lock + " 是已退出的程序留下的，属于用户 " + owner +
           "，" + who + " 能删除它（例如 sudo rm " + lock + "），删除后再打开。";
}

}  // namespace

std::string quoted(const std::string& typed) {
    constexpr int kMost = 40;
    int characters = 0;
    for (std::size_t at = 0; at < typed.size(); ++at) {
        // A character starts at every byte that does not continue one.
        const bool starts = (static_cast<unsigned char>(typed[at]) & 0xC0) != 0x80;
        if (starts && characters++ == kMost) {
            return typed.substr(0, at) + "…";
        }
    }
    return typed;
}

std::string port_number_invalid(const std::string& text) {
    return "串口号“" + quoted(text) + "”无效，请输入 " + std::to_string(kFirstPort) + " 到 " +
           std::to_string(kLastPort) + " 之间的整数。";
}

std::string open_failed(int port, const FaultFacts& facts) {
    const std::string name = port_name(port, facts.device);
    const std::string number = std::to_string(port);
    switch (facts.fault) {
    case SerialFault::no_such_port:
        return facts.device.empty()
                   ? "打开串口 " + number + " 失败：找不到这个串口，请检查串口号和连接。"
                   : "打开" + name + "失败：设备不存在，请检查串口号和连接。";
    case SerialFault::not_serial_device:
        return "打开" + name + "失败：它指向的不是串口设备。";
    case SerialFault::busy:
        return port_busy(name, facts.holder, facts.holder_untold);
    case SerialFault::stale_lock:
        return stale_lock(name, facts.detail, facts.lock_owner);
    case SerialFault::permission:
        return "打开" + name + "失败：没有访问权限，请把当前用户加入 dialout 组后重新登录。";
    case SerialFault::lost:
        return port_lost(port, facts.device);
    case SerialFault::simulator_exited:
        return "打开串口 " + number + " 失败：登记为串口 " + number + " 的模拟模块已经退出（" +
               facts.device + " 现在可能属于别的程序），请重新启动模拟模块后再打开。";
    case SerialFault::ports_folder_unreadable:
        return "打开串口 " + number + " 失败：无法读取端口文件夹 " + facts.device +
               "，串口号无法对应到设备，请检查这个文件夹的权限。";
    case SerialFault::open_failed:
        break;
    }
    return "打开" + name + "失败：" + facts.detail + "。";
}

std::string ports_folder_unreadable(const std::string& folder) {
    return "无法读取端口文件夹 " + folder + "，串口号无法对应到设备，请检查这个文件夹的权限。";
}

std::string port_lost(int port, const std::string& device) {
    return port_name(port, device) + "已断开，串口已关闭，请检查连接后重新打开。";
}

std::string write_failed(int port, const std::string& device) {
    return "向" + port_name(port, device) + "写入失败，这次设置可能没有发出，请检查连接后重试。";
}

std::string read_failed(int port, const std::string& device) {
    return "从" + port_name(port, device) + "读取失败，模块的回复可能已丢失，请检查连接后重试。";
}

}  // namespace tarvok::serial::words
