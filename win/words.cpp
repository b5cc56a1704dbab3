#include "win/words.h"

#include "serial/port_registry.h"

namespace tarvok::win {

namespace {

// Typed text as a message quotes it: at most 40 characters, then "…".
std::string cut_quote(std::string_view typed) {
    constexpr int kMost = 40;
    int characters = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(typed[i]) & 0xC0U) != 0x80U;
        if (starts && ++characters > kMost) {
            return std::string(typed.substr(0, i)) + "…";
        }
    }
    return std::string(typed);
}

std::string port_name(int port) {
    const std::string n = std::to_string(port);
    return "串口 " + n + "（COM" + n + "）";
}

std::string open_failed(int port, serial::SerialFault fault, const std::string& detail) {
    const std::string name = port_name(port);
    switch (fault) {
    case serial::SerialFault::no_such_port:
        return "打开串口 " + std::to_string(port) + " 失败：找不到这个串口，请检查串口号和连接。";
    case serial::SerialFault::not_serial_device:
        return "打开" + name + "失败：它指向的不是串口设备。";
    case serial::SerialFault::busy:
        return "打开" + name + "失败：该串口正被其他程序占用，请先关闭那个程序。";
    case serial::SerialFault::lost:
        return name + "已断开，串口已关闭，请检查连接后重新打开。";
    case serial::SerialFault::bad_settings:
    case serial::SerialFault::stale_lock:
    case serial::SerialFault::permission:
    case serial::SerialFault::simulator_exited:
    case serial::SerialFault::ports_folder_unreadable:
    case serial::SerialFault::open_failed:
        break;
    }
    return "打开" + name + "失败：" + detail + "。";
}

}  // namespace

std::string port_words(const PortFact& fact) {
    switch (fact.kind) {
    case PortFact::Kind::open_failed:
        return open_failed(fact.port, fact.fault, fact.detail);
    case PortFact::Kind::number_invalid:
        return "串口号“" + cut_quote(fact.detail) + "”无效，请输入 " +
               std::to_string(serial::kFirstPort) + " 到 " + std::to_string(serial::kLastPort) +
               " 之间的整数。";
    case PortFact::Kind::lost:
        return port_name(fact.port) + "已断开，串口已关闭，请检查连接后重新打开。";
    case PortFact::Kind::write_failed:
        return "向" + port_name(fact.port) + "写入失败，这次设置可能没有发出，请检查连接后重试。";
    case PortFact::Kind::read_failed:
        return "从" + port_name(fact.port) + "读取失败，模块的回复可能已丢失，请检查连接后重试。";
    }
    return {};
}

std::string address_words(std::string_view typed) {
    return "模块地址“" + cut_quote(typed) +
           "”无效：模块地址必须是 0 到 255 之间的数字，本次未发送。";
}

}  // namespace tarvok::win
