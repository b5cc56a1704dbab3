#include "serial/port_messages.h"

#include <QFileInfo>

#include "serial/port_holder.h"
#include "serial/port_number.h"

namespace tarvok::serial {

namespace {

QString port_name(int port, const QString& device) {
    return device.isEmpty() ? QStringLiteral("串口 %1").arg(port)
                            : QStringLiteral("串口 %1（%2）").arg(port).arg(device);
}

// Names the program that holds the port when the system can tell; ModemManager
// lets go by itself after probing a newly plugged adapter, so it gets advice of its
// own instead of "close it".
QString port_busy(const QString& name, const std::optional<PortHolder>& holder) {
    if (!holder) {
        return QStringLiteral("打开%1失败：该串口正被其他程序占用，请先关闭那个程序。").arg(name);
    }
    const QString who = QStringLiteral("%1（进程 %2）").arg(holder->program).arg(holder->pid);
    if (holder->program == QLatin1String("ModemManager")) {
        return QStringLiteral(
                   "%1正被其他程序占用：%2，它在探测新插入的设备，请等几秒后再打开。"
                   "若它一直不放，请用 udev 规则给这个设备设置 "
                   "ID_MM_DEVICE_IGNORE=1，让 ModemManager 不再碰它。")
            .arg(name, who);
    }
    return QStringLiteral("%1正被其他程序占用：%2，请先关闭那个程序。").arg(name, who);
}

}  // namespace

QString quoted(const QString& typed) {
    constexpr qsizetype kMost = 40;
    return typed.size() <= kMost ? typed : typed.left(kMost) + QStringLiteral("…");
}

QString port_number_invalid(const QString& text) {
    return QStringLiteral("串口号“%1”无效，请输入 %2 到 %3 之间的整数。")
        .arg(quoted(text))
        .arg(kFirstPort)
        .arg(kLastPort);
}

QString open_failed(int port, const SerialError& error) {
    const QString name = port_name(port, error.device);
    switch (error.fault) {
    case SerialFault::bad_settings:
        return QStringLiteral("打开%1失败：串口参数“%2”无效。").arg(name, error.detail);
    case SerialFault::no_such_port:
        return error.device.isEmpty()
                   ? QStringLiteral("打开串口 %1 失败：找不到这个串口，请检查串口号和连接。")
                         .arg(port)
                   : QStringLiteral("打开%1失败：设备不存在，请检查串口号和连接。").arg(name);
    case SerialFault::not_serial_device:
        return QStringLiteral("打开%1失败：它指向的不是串口设备。").arg(name);
    case SerialFault::busy:
        return port_busy(name, port_holder(error.device));
    case SerialFault::stale_lock:
        return QStringLiteral(
                   "打开%1失败：锁文件 %2 是已退出的程序留下的，属于用户 %3，"
                   "请以该用户身份删除它后重试。")
            .arg(name, error.detail, QFileInfo(error.detail).owner());
    case SerialFault::permission:
        return QStringLiteral("打开%1失败：没有访问权限，请把当前用户加入 dialout 组后重新登录。")
            .arg(name);
    case SerialFault::lost:
        return port_lost(port, error.device);
    case SerialFault::simulator_exited:
        return QStringLiteral(
                   "打开串口 %1 失败：登记为串口 %1 的模拟模块已经退出（%2 "
                   "现在可能属于别的程序），请重新启动模拟模块后再打开。")
            .arg(port)
            .arg(error.device);
    case SerialFault::ports_folder_unreadable:
        return QStringLiteral(
                   "打开串口 %1 失败：无法读取端口文件夹 %2，串口号无法对应到设备，"
                   "请检查这个文件夹的权限。")
            .arg(port)
            .arg(error.device);
    case SerialFault::open_failed:
        break;
    }
    return QStringLiteral("打开%1失败：%2。").arg(name, error.detail);
}

QString ports_folder_unreadable(const QString& folder) {
    return QStringLiteral("无法读取端口文件夹 %1，串口号无法对应到设备，请检查这个文件夹的权限。")
        .arg(folder);
}

QString port_lost(int port, const QString& device) {
    return QStringLiteral("%1已断开，串口已关闭，请检查连接后重新打开。")
        .arg(port_name(port, device));
}

QString write_failed(int port, const QString& device) {
    return QStringLiteral("向%1写入失败，这次设置可能没有发出，请检查连接后重试。")
        .arg(port_name(port, device));
}

QString read_failed(int port, const QString& device) {
    return QStringLiteral("从%1读取失败，模块的回复可能已丢失，请检查连接后重试。")
        .arg(port_name(port, device));
}

}  // namespace tarvok::serial
