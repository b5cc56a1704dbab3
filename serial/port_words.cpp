#include "serial/port_words.h"

#include <array>

#include "serial/port_registry.h"

namespace tarvok::serial::words {

namespace {

namespace lang = tarvok::words;
using W = PortWord;

constexpr std::array<lang::Entry<PortWord>, 23> kWords = {{
    {W::port, {"串口 {}", "port {}"}},
    {W::port_device, {"串口 {}（{}）", "port {} ({})"}},
    {W::process, {"{}（进程 {}）", "{} (process {})"}},
    {W::busy_untold,
     {"打开{}失败：该串口正被其他程序占用；Windows 不告诉是哪个程序，"
      "请关闭可能在用它的程序（串口工具、厂家软件）后再打开。",
      "Cannot open {}: another program is using it, and Windows does not tell which; close "
      "any program that may use it (serial terminals, vendor software) and open it again."}},
    {W::busy_unnamed,
     {"打开{}失败：该串口正被其他程序占用，请先关闭那个程序。",
      "Cannot open {}: another program is using it; close that program first."}},
    {W::busy_modem_manager,
     {"{}正被其他程序占用：{}，它在探测新插入的设备，请等几秒后再打开。"
      "若它一直不放，请用 udev 规则给这个设备设置 "
      "ID_MM_DEVICE_IGNORE=1，让 ModemManager 不再碰它。",
      "{} is busy: {} holds it while it probes the newly plugged device; wait a few seconds "
      "and open it again. If it never lets go, set ID_MM_DEVICE_IGNORE=1 for this device in a "
      "udev rule, so that ModemManager leaves it alone."}},
    {W::busy_open_only,
     {"{}正被其他程序占用：{}打开了它，但没有加锁，串口可能仍在被它使用；"
      "请确认它不再需要这个串口后再关闭它。",
      "{} is busy: {} has it open without a lock and may still be using it; close that "
      "program once you are sure it no longer needs the port."}},
    {W::busy_held,
     {"{}正被其他程序占用：{}，请先关闭那个程序。",
      "{} is busy: {} holds it; close that program first."}},
    {W::stale_lock,
     {"打开{}失败：锁文件 {} 是已退出的程序留下的，属于用户 {}，{} 能删除它（例如 sudo rm "
      "{}），删除后再打开。",
      "Cannot open {}: the lock file {} was left by a program that has exited and belongs to "
      "user {}; {} can remove it (for example sudo rm {}), then open the port again."}},
    {W::only_root, {"只有 root", "only root"}},
    {W::only_owner_or_root, {"只有该用户或 root", "only that user or root"}},
    {W::number_invalid,
     {"串口号“{}”无效，请输入 {} 到 {} 之间的整数。",
      "Port number “{}” is not valid: enter a whole number from {} to {}."}},
    {W::no_such_number,
     {"打开串口 {} 失败：找不到这个串口，请检查串口号和连接。",
      "Cannot open port {}: the port was not found; check the port number and the "
      "connection."}},
    {W::no_such_device,
     {"打开{}失败：设备不存在，请检查串口号和连接。",
      "Cannot open {}: the device does not exist; check the port number and the connection."}},
    {W::not_serial,
     {"打开{}失败：它指向的不是串口设备。", "Cannot open {}: it is not a serial device."}},
    {W::permission,
     {"打开{}失败：没有访问权限，请把当前用户加入 dialout 组后重新登录。",
      "Cannot open {}: permission denied; add your user to the dialout group and log in "
      "again."}},
    {W::simulator_exited,
     {"打开串口 {} 失败：登记为串口 {} 的模拟模块已经退出（{} "
      "现在可能属于别的程序），请重新启动模拟模块后再打开。",
      "Cannot open port {}: the simulated module registered as port {} has exited ({} may "
      "now belong to another program); start the simulator again, then open the port."}},
    {W::folder_unreadable_open,
     {"打开串口 {} 失败：无法读取端口文件夹 {}，串口号无法对应到设备，请检查这个文件夹的权限。",
      "Cannot open port {}: the ports folder {} cannot be read, so port numbers cannot be "
      "matched to devices; check the folder's permissions."}},
    {W::open_refused, {"打开{}失败：{}。", "Cannot open {}: {}."}},
    {W::folder_unreadable,
     {"无法读取端口文件夹 {}，串口号无法对应到设备，请检查这个文件夹的权限。",
      "The ports folder {} cannot be read, so port numbers cannot be matched to devices; "
      "check the folder's permissions."}},
    {W::lost,
     {"{}已断开，串口已关闭，请检查连接后重新打开。",
      "{} was disconnected and has been closed; check the connection and open it again."}},
    {W::write_failed,
     {"向{}写入失败，这次设置可能没有发出，请检查连接后重试。",
      "Writing to {} failed, so this setting may not have gone out; check the connection and "
      "try again."}},
    {W::read_failed,
     {"从{}读取失败，模块的回复可能已丢失，请检查连接后重试。",
      "Reading from {} failed, so the module's reply may be lost; check the connection and "
      "try again."}},
}};
static_assert(lang::in_id_order(kWords) && kWords.back().id == W::read_failed,
              "one entry per id, in id order");

std::string_view word(PortWord id) { return lang::pick(lang::text_of(kWords, id)); }

std::string say(PortWord id, std::initializer_list<std::string_view> args) {
    return lang::fill(word(id), args);
}

// A sentence's first letter as a capital: "port 3 …" opening an English sentence.
// Chinese has no case, so its sentences stay as they are.
std::string opening(std::string sentence) {
    if (!sentence.empty() && sentence[0] >= 'a' && sentence[0] <= 'z') {
        sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
    }
    return sentence;
}

std::string port_name(int port, const std::string& device) {
    const std::string number = std::to_string(port);
    return device.empty() ? say(W::port, {number}) : say(W::port_device, {number, device});
}

// Names the program that holds the port when the system can tell; ModemManager
// lets go by itself after probing a newly plugged adapter, so it gets advice of its
// own instead of "close it". A program that holds no lock may not be what keeps the
// port, so it is not simply told to close.
std::string port_busy(const std::string& name, const std::optional<PortHolder>& holder,
                      bool untold) {
    if (!holder) {
        return say(untold ? W::busy_untold : W::busy_unnamed, {name});
    }
    const std::string who = say(W::process, {holder->program, std::to_string(holder->pid)});
    if (holder->program == "ModemManager") {
        return opening(say(W::busy_modem_manager, {name, who}));
    }
    switch (holder->kind) {
    case HoldKind::lock:
    case HoldKind::lock_file:
        break;
    case HoldKind::open_only:
        return opening(say(W::busy_open_only, {name, who}));
    }
    return opening(say(W::busy_held, {name, who}));
}

// The lock folder is sticky: only the file's owner and root may remove it.
std::string stale_lock(const std::string& name, const std::string& lock, const std::string& owner) {
    const auto who = word(owner == "root" ? W::only_root : W::only_owner_or_root);
    return say(W::stale_lock, {name, lock, owner, who, lock});
}

}  // namespace

lang::Catalogue<PortWord> port_catalogue() { return kWords; }

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
    return say(W::number_invalid,
               {quoted(text), std::to_string(kFirstPort), std::to_string(kLastPort)});
}

std::string open_failed(int port, const FaultFacts& facts) {
    const std::string name = port_name(port, facts.device);
    const std::string number = std::to_string(port);
    switch (facts.fault) {
    case SerialFault::no_such_port:
        return facts.device.empty() ? say(W::no_such_number, {number})
                                    : say(W::no_such_device, {name});
    case SerialFault::not_serial_device:
        return say(W::not_serial, {name});
    case SerialFault::busy:
        return port_busy(name, facts.holder, facts.holder_untold);
    case SerialFault::stale_lock:
        return stale_lock(name, facts.detail, facts.lock_owner);
    case SerialFault::permission:
        return say(W::permission, {name});
    case SerialFault::lost:
        return port_lost(port, facts.device);
    case SerialFault::simulator_exited:
        return say(W::simulator_exited, {number, number, facts.device});
    case SerialFault::ports_folder_unreadable:
        return say(W::folder_unreadable_open, {number, facts.device});
    case SerialFault::open_failed:
        break;
    }
    return say(W::open_refused, {name, facts.detail});
}

std::string ports_folder_unreadable(const std::string& folder) {
    return say(W::folder_unreadable, {folder});
}

std::string port_lost(int port, const std::string& device) {
    return opening(say(W::lost, {port_name(port, device)}));
}

std::string write_failed(int port, const std::string& device) {
    return say(W::write_failed, {port_name(port, device)});
}

std::string read_failed(int port, const std::string& device) {
    return say(W::read_failed, {port_name(port, device)});
}

}  // namespace tarvok::serial::words
