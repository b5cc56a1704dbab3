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

namespace {

constexpr int kReceiveThreshold = 8;

}  // namespace

main_form::main_form(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Label3(label(this, "串口号", {240, 120, 1335, 375}, 15.6)),
      chuankou_num(text_box(this, {1680, 120, 615, 375}, 15)),
      VScroll2(spin(this, {2280, 120, 375, 375})),
      open_comm(button(this, "打开串口", {3840, 120, 1455, 375}, 15.6)),
      Label2(label(this, "波特率", {240, 720, 1335, 375}, 15.6)),
      Combo3(combo(this, {1440, 720, 1215, 360}, add_baud_entries)),
      Label4(label(this, "校验位", {240, 1200, 1335, 375}, 15.6)),
      Combo7(combo(this, {1440, 1200, 1215, 360}, add_parity_entries)),
      Label5(label(this, "模块地址", {3840, 960, 1335, 375}, 15.6)),
      add(text_box(this, {5160, 960, 690, 375}, 15)),
      VScroll1(spin(this, {5880, 960, 375, 375})),
      Frame1(frame(this, "修改输入输出关联方式", {360, 1920, 7335, 1095}, 14.4)),
      Label7(label(Frame1, "通道", {600, 480, 855, 375}, 14.4)),
      Label8(label(Frame1, "关联方式", {3240, 480, 1215, 255}, 14.4)),
      Combo2(combo(Frame1, {4440, 480, 1215, 360})),
      Command1(setting_button(Frame1, "修改", {6120, 480, 975, 375}, 15)),
      Frame2(frame(this, "修改输出上电状态", {360, 3240, 7335, 1095}, 15)),
      Label9(label(Frame2, "通道", {600, 480, 615, 255}, 14.4)),
      Label10(label(Frame2, "默认状态", {3240, 480, 1215, 375}, 14.4)),
      Combo4(combo(Frame2, {4440, 480, 1215, 360})),
      Command2(setting_button(Frame2, "修改", {6120, 480, 975, 375}, 15)),
      Frame3(frame(this, "修改通讯参数", {360, 4560, 7335, 975}, 15)),
      Label11(label(Frame3, "波特率", {240, 360, 972, 492}, 14.4)),
      Combo5(combo(Frame3, {1200, 360, 1215, 360})),
      Label12(label(Frame3, "校验位", {3480, 360, 975, 255}, 14.4)),
      Combo6(combo(Frame3, {4440, 360, 1215, 360})),
      Command3(setting_button(Frame3, "修改", {6120, 360, 975, 375}, 15)),
      Combo1{combo(Frame1, {1200, 480, 1215, 360}, add_channel_entries),
             combo(Frame2, {1200, 480, 1215, 360}, add_channel_entries)},
      MSComm1(new MSComm(this)),
      watch_(new WireWatch(MSComm1->serial_port(), traffic_, this)),
      module1_(*add, *MSComm1, *watch_) {
    load_resources();
    setWindowTitle(QStringLiteral("TarvokV1.6"));
    // The program gives every window its icon set; a window built without it carries
    // its own, decoded only then.
    if (QGuiApplication::windowIcon().isNull()) {
        setWindowIcon(QIcon(QStringLiteral(":/tarvok/tarvok.png")));
    }
    const QRect client = twips_rect(9936, 4740, 7992, 5640);
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
    const std::array<QWidget*, 16> order = {
        chuankou_num, open_comm, add,    VScroll1,  VScroll2, Command3, Combo6, Combo5,
        Command2,     Combo1[1], Combo4, Combo1[0], Command1, Combo2,   Combo3, Combo7};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void main_form::name_controls() {
    const std::array<std::pair<QLabel*, QWidget*>, 10> captions = {{{Label3, chuankou_num},
                                                                    {Label2, Combo3},
                                                                    {Label4, Combo7},
                                                                    {Label5, add},
                                                                    {Label7, Combo1[0]},
                                                                    {Label8, Combo2},
                                                                    {Label9, Combo1[1]},
                                                                    {Label10, Combo4},
                                                                    {Label11, Combo5},
                                                                    {Label12, Combo6}}};
    for (const auto& [caption, box] : captions) {
        caption_for(caption, box);
    }
    for (const auto& [box, arrows] :
         {std::pair{add, VScroll1}, std::pair{chuankou_num, VScroll2}}) {
        arrows->setAccessibleName(box->accessibleName() + QStringLiteral(" 增减"));
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
        button->setToolTip(QStringLiteral("没有反应时按 F12 查看通讯记录"));
    }
    connect(add, &QLineEdit::editingFinished, this, [this] { finish_editing(add, VScroll1); });
    connect(chuankou_num, &QLineEdit::editingFinished, this,
            [this] { finish_editing(chuankou_num, VScroll2); });
}

void main_form::Form_Load() { init_lists(); }

void main_form::init_lists() {
    add_entries(Combo2, protocol::kModes);
    add_entries(Combo4, protocol::kPowerOnStates);
    add_baud_entries(Combo5);
    add_entries(Combo6, protocol::kParities);
    Combo1[0]->setCurrentIndex(0);
    Combo1[1]->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
    Combo4->setCurrentIndex(0);
    Combo5->setCurrentIndex(3);
    Combo6->setCurrentIndex(0);
    Combo3->setCurrentIndex(3);
    Combo7->setCurrentIndex(0);
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
    open_comm->setText(QStringLiteral("关闭串口"));
}

void main_form::port_closed_ui() {
    VScroll2->setEnabled(true);
    Combo3->setEnabled(true);
    Combo7->setEnabled(true);
    chuankou_num->setEnabled(true);
    open_comm->setText(QStringLiteral("打开串口"));
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
