#include "ui/main_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "protocol/reply.h"
#include "protocol/wire.h"
#include "serial/port_messages.h"
#include "serial/port_number.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/messages.h"
#include "ui/spin_arrows.h"
#include "ui/wire_watch.h"

// The icon lives in this library's resources, which a static library must load itself.
static void load_resources() { Q_INIT_RESOURCE(resources); }

namespace tarvok::ui {

using form::Id;

namespace {

constexpr int kReceiveThreshold = 8;

}  // namespace

main_form::main_form(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Label3(label(in(Id::Label3), form::control(Id::Label3))),
      chuankou_num(text_box(in(Id::chuankou_num), form::control(Id::chuankou_num))),
      VScroll2(spin(in(Id::VScroll2), form::control(Id::VScroll2))),
      open_comm(button(in(Id::open_comm), form::control(Id::open_comm))),
      Label2(label(in(Id::Label2), form::control(Id::Label2))),
      Combo3(combo(in(Id::Combo3), form::control(Id::Combo3))),
      Label4(label(in(Id::Label4), form::control(Id::Label4))),
      Combo7(combo(in(Id::Combo7), form::control(Id::Combo7))),
      Label5(label(in(Id::Label5), form::control(Id::Label5))),
      add(text_box(in(Id::add), form::control(Id::add))),
      VScroll1(spin(in(Id::VScroll1), form::control(Id::VScroll1))),
      Frame1(frame(in(Id::Frame1), form::control(Id::Frame1))),
      Label7(label(in(Id::Label7), form::control(Id::Label7))),
      Label8(label(in(Id::Label8), form::control(Id::Label8))),
      Combo2(combo(in(Id::Combo2), form::control(Id::Combo2))),
      Command1(button(in(Id::Command1), form::control(Id::Command1))),
      Frame2(frame(in(Id::Frame2), form::control(Id::Frame2))),
      Label9(label(in(Id::Label9), form::control(Id::Label9))),
      Label10(label(in(Id::Label10), form::control(Id::Label10))),
      Combo4(combo(in(Id::Combo4), form::control(Id::Combo4))),
      Command2(button(in(Id::Command2), form::control(Id::Command2))),
      Frame3(frame(in(Id::Frame3), form::control(Id::Frame3))),
      Label11(label(in(Id::Label11), form::control(Id::Label11))),
      Combo5(combo(in(Id::Combo5), form::control(Id::Combo5))),
      Label12(label(in(Id::Label12), form::control(Id::Label12))),
      Combo6(combo(in(Id::Combo6), form::control(Id::Combo6))),
      Command3(button(in(Id::Command3), form::control(Id::Command3))),
      Combo1{combo(in(Id::Combo1_0), form::control(Id::Combo1_0)),
             combo(in(Id::Combo1_1), form::control(Id::Combo1_1))},
      MSComm1(new MSComm(this)),
      watch_(new WireWatch(MSComm1->serial_port(), traffic_, this)),
      module1_(*add, *MSComm1, *watch_) {
    load_resources();
    setWindowTitle(text_of(form::kMainWindow.title));
    // The program gives every window its icon set; a window built without it carries
    // its own, decoded only then.
    if (QGuiApplication::windowIcon().isNull()) {
        setWindowIcon(QIcon(QStringLiteral(":/tarvok/tarvok.png")));
    }
    const auto& at = form::kMainWindow.client;
    const QRect client = twips_rect(at.left, at.top, at.width, at.height);
    setFixedSize(client.size());
    place_window(this, client);
    set_tab_order();
    name_controls();
    connect_handlers();
    chuankou_num->installEventFilter(this);
    Form_Load();
    chuankou_num->setFocus();
}

main_form::~main_form() {
    // Closing takes the focus from a box, which finishes its editing; by then only a
    // QWidget is left of this window to handle it.
    for (const QObject* source :
         std::initializer_list<const QObject*>{MSComm1, add, chuankou_num}) {
        source->disconnect(this);
    }
}

void main_form::set_tab_order() {
    constexpr auto order = form::tab_order();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(widget(order.at(i - 1)), widget(order.at(i)));
    }
}

void main_form::name_controls() {
    for (const form::Control& c : form::kMainControls) {
        if (c.names) {
            caption_for(static_cast<QLabel*>(widget(c.id)), widget(*c.names));
        }
    }
    for (const auto& [box, arrows] :
         {std::pair{add, VScroll1}, std::pair{chuankou_num, VScroll2}}) {
        arrows->setAccessibleName(tr("%1 增减").arg(box->accessibleName()));
    }
}

void main_form::connect_handlers() {
    connect(open_comm, &QPushButton::clicked, this, &main_form::open_comm_Click);
    connect(Command1, &QPushButton::clicked, this, &main_form::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &main_form::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &main_form::Command3_Click);
    connect(MSComm1, &MSComm::on_comm, this, &main_form::MSComm1_OnComm);
    connect(MSComm1, &MSComm::port_lost, this, &main_form::MSComm1_Lost);
    connect(add, &QLineEdit::textChanged, this, &main_form::add_Change);
    connect(VScroll1, &QAbstractSlider::valueChanged, this, &main_form::VScroll1_Change);
    connect(chuankou_num, &QLineEdit::textChanged, this, &main_form::chuankou_num_Change);
    connect(VScroll2, &QAbstractSlider::valueChanged, this, &main_form::VScroll2_Change);
    add_shortcuts();
    for (QPushButton* button : {open_comm, Command1, Command2, Command3}) {
        button->setToolTip(tr("没有反应时按 F12 查看通讯记录"));
    }
    connect(add, &QLineEdit::editingFinished, this, [this] { finish_editing(add, VScroll1); });
    connect(chuankou_num, &QLineEdit::editingFinished, this,
            [this] { finish_editing(chuankou_num, VScroll2); });
}

void main_form::Form_Load() { init_lists(); }

// Fills the lists the design leaves empty, then selects every list's first entry.
void main_form::init_lists() {
    for (const form::Control& c : form::kMainControls) {
        if (c.kind == form::Kind::list && c.fill == form::Fill::load) {
            add_entries(static_cast<QComboBox*>(widget(c.id)), c.list);
        }
    }
    for (const form::Control& c : form::kMainControls) {
        if (c.kind == form::Kind::list) {
            static_cast<QComboBox*>(widget(c.id))->setCurrentIndex(c.selected);
        }
    }
}

// ---- Opening and closing the port ------------------------------------------------

void main_form::open_comm_Click() {
    if (MSComm1->port_open()) {
        MSComm1->set_port_open(false);
        traffic_.port_closed();
        port_closed_ui();
        return;
    }
    Combo3->setEnabled(false);
    const auto port_number = serial::port_number(chuankou_num->text().toStdString());
    MSComm1->set_settings(chosen_line());
    if (!port_number) {
        fail_open(serial::port_number_invalid(chuankou_num->text()));
        return;
    }
    MSComm1->set_comm_port(*port_number);
    if (const auto error = MSComm1->set_port_open(true)) {
        fail_open(serial::open_failed(*port_number, *error));
        return;
    }
    MSComm1->set_rthreshold(kReceiveThreshold);
    watch_->resume();
    traffic_.port_opened(*port_number, MSComm1->device(), MSComm1->settings());
    port_opened_ui();
}

void main_form::fail_open(const QString& message) {
    port_closed_ui();
    show_error(message);
}

void main_form::port_opened_ui() {
    chuankou_num->setEnabled(false);
    VScroll2->setEnabled(false);
    Combo3->setEnabled(false);
    Combo7->setEnabled(false);
    open_comm->setText(tr("关闭串口"));
}

void main_form::port_closed_ui() {
    VScroll2->setEnabled(true);
    Combo3->setEnabled(true);
    Combo7->setEnabled(true);
    chuankou_num->setEnabled(true);
    open_comm->setText(caption_text(form::control(Id::open_comm).text));
}

void main_form::MSComm1_Lost(const serial::SerialError& error) {
    if (MSComm1->lent()) {
        return;  // the scan that holds the port says it, and returns it
    }
    traffic_.port_lost(error.device);
    port_closed_ui();
    show_error(serial::port_lost(MSComm1->comm_port(), error.device));
}

// ---- The three setting buttons ---------------------------------------------------

void main_form::Command1_Click() {
    report(module1_.send(protocol::ModeSetting{value_of<std::uint8_t>(Combo1[0]),
                                               value_of<protocol::Mode>(Combo2)}));
}

void main_form::Command2_Click() {
    report(module1_.send(protocol::PowerOnSetting{value_of<std::uint8_t>(Combo1[1]),
                                                  value_of<protocol::PowerOn>(Combo4)}));
}

void main_form::Command3_Click() {
    report(module1_.send(protocol::LineSetting{value_of<std::uint32_t>(Combo5),
                                               value_of<protocol::Parity>(Combo6)}));
}

void main_form::report(SendResult result) {
    switch (result) {
    case SendResult::bad_address:
        show_error(address_invalid(add->text()));
        return;
    case SendResult::write_failed:
        show_error(serial::write_failed(MSComm1->comm_port(), MSComm1->device()));
        return;
    case SendResult::sent:
    case SendResult::port_closed:
        break;
    }
}

// ---- Replies ---------------------------------------------------------------------

void main_form::MSComm1_OnComm() {
    switch (MSComm1->comm_event()) {
    case CommEvent::receive:
        break;
    case CommEvent::line_error:
        show_error(MSComm1->line_fault() == serial::LineFault::write
                       ? serial::write_failed(MSComm1->comm_port(), MSComm1->device())
                       : serial::read_failed(MSComm1->comm_port(), MSComm1->device()));
        return;
    case CommEvent::none:
        return;
    }
    // The line raises this only while eight bytes wait, so the reads cannot run dry.
    for (std::size_t i = 0; i < protocol::kFrameSize; ++i) {
        const auto received = MSComm1->input();
        if (!received) {
            return;
        }
        recv_buf.at(i) = *received;
    }
    // A reply that fails the check is dropped without a word here (通讯记录 says why);
    // nothing is paired with the command that went out.
    if (protocol::accepted(protocol::judge(recv_buf))) {
        show_result();
    }
}

void main_form::show_result() {
    const bool success = protocol::judge(recv_buf) == protocol::Verdict::success;
    if (success) {
        dialogs_.show_success();
    } else {
        dialogs_.show_failure();
    }
    emit result_shown(success);
}

}  // namespace tarvok::ui
