// The main window as the owner of the serial port that other windows borrow: what its
// controls choose, the loan and the return, and taking up a module found elsewhere.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "serial/port_messages.h"
#include "serial/port_number.h"
#include "ui/controls.h"
#include "ui/main_form.h"
#include "ui/value_words.h"
#include "ui/wire_watch.h"

namespace tarvok::ui {

protocol::LineSetting main_form::chosen_line() const {
    return {value_of<std::uint32_t>(Combo3), value_of<protocol::Parity>(Combo7)};
}

std::variant<PortChoice, QString> main_form::port_choice() const {
    const QString typed = chuankou_num->text();
    const auto number = serial::port_number(typed.toStdString());
    if (!number) {
        return serial::port_number_invalid(typed);
    }
    return PortChoice{*number, MSComm1->port_open() ? MSComm1->settings() : chosen_line()};
}

void main_form::watch_choice(QObject* context, std::function<void()> changed) {
    connect(chuankou_num, &QLineEdit::textChanged, context, changed);
    for (QComboBox* list : {Combo3, Combo7}) {
        connect(list, &QComboBox::currentIndexChanged, context, changed);
    }
}

void main_form::rest_port_buttons(bool rest) {
    for (QPushButton* button : {open_comm, Command1, Command2, Command3}) {
        button->setEnabled(!rest);
    }
}

serial::Port& main_form::lend() {
    open_before_loan_ = MSComm1->port_open();
    MSComm1->set_lent(true);
    watch_->pause();
    rest_port_buttons(true);
    return MSComm1->serial_port();
}

std::optional<QString> main_form::give_back() {
    serial::Port& port = MSComm1->serial_port();
    std::optional<QString> failure;
    if (!open_before_loan_) {
        if (port.is_open()) {
            port.close();
            traffic_.port_closed();
        }
    } else if (!port.is_open()) {
        // The device went away during the loan; the borrower has said so.
        port_closed_ui();
    } else if (!(port.line() == MSComm1->settings())) {
        if (port.set_line(MSComm1->settings())) {
            traffic_.port_opened(MSComm1->comm_port(), port.device(), MSComm1->settings());
        } else {
            failure = serial::write_failed(MSComm1->comm_port(), port.device());
        }
    }
    MSComm1->set_lent(false);
    if (port.is_open()) {
        (void)port.discard_input();  // the borrower's leftovers are no reply to this window
        watch_->resume();
    }
    rest_port_buttons(false);
    return failure;
}

std::optional<QString> main_form::use_module(std::uint8_t address,
                                             const protocol::LineSetting& line) {
    add->setText(QString::number(address));
    if (!MSComm1->port_open() || (MSComm1->lent() && !open_before_loan_)) {
        Combo3->setCurrentIndex(Combo3->findData(line.baud));
        Combo7->setCurrentIndex(Combo7->findData(static_cast<int>(line.parity)));
        return std::nullopt;
    }
    const auto open_at = MSComm1->settings();
    if (open_at == line) {
        return std::nullopt;
    }
    return tr("串口正以 %1 打开，地址 %2 的模块在 %3：请关闭串口，"
              "把波特率和校验位改为 %3 后重新打开。")
        .arg(line_text(open_at))
        .arg(address)
        .arg(line_text(line));
}

}  // namespace tarvok::ui
