#include "ui/messages.h"

#include <QCoreApplication>

#include "serial/port_messages.h"

namespace tarvok::ui {

QString address_invalid(const QString& text) {
    return QCoreApplication::translate(
               "tarvok::ui::messages",
               "模块地址“%1”无效：模块地址必须是 0 到 255 之间的数字，本次未发送。")
        .arg(serial::quoted(text));
}

}  // namespace tarvok::ui
