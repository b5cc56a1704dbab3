#include "serial/port_messages.h"

namespace tarvok::serial {

namespace {

QString port_name(int port, const QString& device) {
    return device.isEmpty() ? QStringLiteral("串口 %1").arg(port)
                            : QStringLiteral("串口 %1（%2）").arg(port).arg(device);
}

}  // namespace

QString port_number_invalid(const QString& text) {
    return QStringLiteral("串口号“%1”不是有效的数字，请输入 0 到 255 之间的串口号。").arg(text);
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
        return QStringLiteral("打开%1失败：该串口正被其他程序占用。").arg(name);
    case SerialFault::permission:
        return QStringLiteral("打开%1失败：没有访问权限，请把当前用户加入 dialout 组后重新登录。")
            .arg(name);
    case SerialFault::lost:
        return port_lost(port, error.device);
    case SerialFault::open_failed:
        break;
    }
    return QStringLiteral("打开%1失败：%2。").arg(name, error.detail);
}

QString port_lost(int port, const QString& device) {
    return QStringLiteral("%1已断开，串口已关闭，请检查连接后重新打开。")
        .arg(port_name(port, device));
}

}  // namespace tarvok::serial
