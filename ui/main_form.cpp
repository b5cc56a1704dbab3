#include "ui/main_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>

#include "protocol/number_text.h"
#include "protocol/reply.h"
#include "serial/port_directory.h"
#include "ui/design.h"
#include "serial/port_messages.h"
#include "ui/messages.h"
#include "ui/spin_arrows.h"

// The icon lives in this library's resources, which a static library must load itself.
static void load_resources() { Q_INIT_RESOURCE(resources); }

namespace tarvok::ui {

namespace {

constexpr int kReceiveThreshold = 8;

// The tail of the settings text for the PC parity list's text; anything not
// listed means no parity.
QString parity_tail(const QString& parity_text) {
    const auto* entry = protocol::find_text(protocol::kParities, parity_text.toStdString());
    const auto parity = entry ? entry->value : protocol::Parity::none;
    return QStringLiteral(",%1,8,1").arg(QLatin1Char(serial::parity_letter(parity)));
}

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Each entry carries the value it stands for, so what is sent never depends on
// where an entry stands in its list.
template <typename Value, std::size_t N>
void add_entries(QComboBox* combo, const std::array<protocol::Named<Value>, N>& table) {
    for (const auto& entry : table) {
        combo->addItem(text_of(entry.name), static_cast<int>(entry.value));
    }
}

void add_baud_entries(QComboBox* combo) {
    for (const auto& entry : protocol::kBaudCodes) {
        combo->addItem(QString::number(entry.baud), entry.baud);
    }
}

void add_channel_entries(QComboBox* combo) {
    for (int channel = 1; channel <= protocol::kChannelCount; ++channel) {
        const auto number = static_cast<std::uint8_t>(channel);
        combo->addItem(QString::fromStdString(protocol::channel_entry(number)), number);
    }
    combo->addItem(QString::fromStdString(protocol::channel_entry(protocol::kAllChannels)),
                   protocol::kAllChannels);
}

template <typename Value>
Value value_of(const QComboBox* combo) {
    return static_cast<Value>(combo->currentData().toUInt());
}

struct Twips {
    int left, top, width, height;
};

template <typename Widget>
Widget* placed(Widget* widget, Twips at, double points, bool bold = false) {
    place(widget, at.left, at.top, at.width, at.height);
    if (points > 0) {
        widget->setFont(song(points, bold));
    }
    return widget;
}

QLabel* label(QWidget* parent, const char* text, Twips at, double points) {
    return placed(new QLabel(QString::fromUtf8(text), parent), at, points);
}

QLineEdit* text_box(QWidget* parent, Twips at, double points) {
    return placed(new QLineEdit(QStringLiteral("1"), parent), at, points);
}

QPushButton* button(QWidget* parent, const char* caption, Twips at, double points) {
    auto* widget = placed(new QPushButton(QString::fromUtf8(caption), parent), at, points);
    widget->setAutoDefault(false);
    return widget;
}

QGroupBox* frame(QWidget* parent, const char* caption, Twips at, double points) {
    auto* box = placed(new QGroupBox(QString::fromUtf8(caption), parent), at, points, true);
    // The caption sits on the top edge of the border, as on a classic frame, so the
    // children placed from the frame's corner fall inside the border.
    box->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.55em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    return box;
}

QComboBox* combo(QWidget* parent, Twips at, void (*design_entries)(QComboBox*) = nullptr) {
    auto* widget = placed(new QComboBox(parent), at, 12);
    widget->setEditable(false);
    if (design_entries != nullptr) {
        design_entries(widget);
    }
    return widget;
}

void add_parity_entries(QComboBox* combo) { add_entries(combo, protocol::kParities); }

SpinArrows* spin(QWidget* parent, Twips at) {
    auto* widget = placed(new SpinArrows(parent), at, 0);
    widget->setRange(0, 255);
    widget->setSingleStep(1);
    widget->setPageStep(1);
    widget->setValue(1);
    return widget;
}

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
      Command1(button(Frame1, "修改", {6120, 480, 975, 375}, 15)),
      Frame2(frame(this, "修改输出上电状态", {360, 3240, 7335, 1095}, 15)),
      Label9(label(Frame2, "通道", {600, 480, 615, 255}, 14.4)),
      Label10(label(Frame2, "默认状态", {3240, 480, 1215, 375}, 14.4)),
      Combo4(combo(Frame2, {4440, 480, 1215, 360})),
      Command2(button(Frame2, "修改", {6120, 480, 975, 375}, 15)),
      Frame3(frame(this, "修改通讯参数", {360, 4560, 7335, 975}, 15)),
      Label11(label(Frame3, "波特率", {240, 360, 972, 492}, 14.4)),
      Combo5(combo(Frame3, {1200, 360, 1215, 360})),
      Label12(label(Frame3, "校验位", {3480, 360, 975, 255}, 14.4)),
      Combo6(combo(Frame3, {4440, 360, 1215, 360})),
      Command3(button(Frame3, "修改", {6120, 360, 975, 375}, 15)),
      Combo1{combo(Frame1, {1200, 480, 1215, 360}, add_channel_entries),
             combo(Frame2, {1200, 480, 1215, 360}, add_channel_entries)},
      MSComm1(new serial::SerialLine(this)),
      module1_(*add, *MSComm1, wire_log_) {
    load_resources();
    setWindowTitle(QStringLiteral("TarvokV1.6"));
    setWindowIcon(QIcon(QStringLiteral(":/tarvok/tarvok.png")));
    const QRect client = twips_rect(9936, 4740, 7992, 5640);
    setFixedSize(client.size());
    setGeometry(client);  // places the client area, not the frame around it
    set_tab_order();
    connect_handlers();
    chuankou_num->installEventFilter(this);
    Form_Load();
    chuankou_num->setFocus();
}

main_form::~main_form() { MSComm1->disconnect(this); }

void main_form::set_tab_order() {
    const std::array<QWidget*, 16> order = {
        chuankou_num, open_comm, add,    VScroll1,  VScroll2, Command3, Combo6, Combo5,
        Command2,     Combo1[1], Combo4, Combo1[0], Command1, Combo2,   Combo3, Combo7};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void main_form::connect_handlers() {
    connect(open_comm, &QPushButton::clicked, this, &main_form::open_comm_Click);
    connect(Command1, &QPushButton::clicked, this, &main_form::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &main_form::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &main_form::Command3_Click);
    connect(MSComm1, &serial::SerialLine::on_comm, this, &main_form::MSComm1_OnComm);
    connect(MSComm1, &serial::SerialLine::port_lost, this, &main_form::MSComm1_Lost);
    connect(add, &QLineEdit::textChanged, this, &main_form::add_Change);
    connect(VScroll1, &QAbstractSlider::valueChanged, this, &main_form::VScroll1_Change);
    connect(chuankou_num, &QLineEdit::textChanged, this, &main_form::chuankou_num_Change);
    connect(VScroll2, &QAbstractSlider::valueChanged, this, &main_form::VScroll2_Change);
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
        if (MSComm1->port_open()) {
            MSComm1->set_port_open(false);
            port_closed_ui();
        }
        return;
    }
    Combo3->setEnabled(false);
    const QString tail = parity_tail(Combo7->currentText());
    const auto port_number = protocol::to_int16(chuankou_num->text().toStdString());
    if (const auto error = MSComm1->set_settings(Combo3->currentText() + tail)) {
        fail_open(serial::open_failed(port_number.value_or(0), *error));
        return;
    }
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
    if (result == SendResult::bad_address) {
        show_error(address_invalid(add->text()));
    }
}

// ---- Replies ---------------------------------------------------------------------

void main_form::MSComm1_OnComm() {
    if (MSComm1->comm_event() != serial::CommEvent::receive) {
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
    const protocol::Frame reply = received_frame();
    wire_log_.judged(reply);
    // A reply that fails the check is dropped without a word; nothing is paired
    // with the command that went out.
    if (protocol::accepted(protocol::judge(reply))) {
        show_result();
    }
}

protocol::Frame main_form::received_frame() const {
    protocol::Frame frame{};
    std::transform(recv_buf.begin(), recv_buf.begin() + protocol::kFrameSize, frame.begin(),
                   [](std::int32_t b) { return static_cast<std::uint8_t>(b); });
    return frame;
}

void main_form::show_result() {
    const bool success = protocol::judge(received_frame()) == protocol::Verdict::success;
    if (success) {
        dialogs_.show_success();
    } else {
        dialogs_.show_failure();
    }
    emit result_shown(success);
}

// ---- Address and port number entry -----------------------------------------------

namespace {

// The text's value when it is a number the spin bar can take.
std::optional<int> spin_value(const QLineEdit* box) {
    const auto value = protocol::to_int16(box->text().toStdString());
    if (!value || *value < 0 || *value > 255) {
        return std::nullopt;
    }
    return *value;
}

// Writes the plain form of the value. The caret keeps its distance from the end of
// the text, so typing carries on where it was even when leading zeros or blanks go.
void rewrite(QLineEdit* box, int value) {
    const QString plain = QString::number(value);
    const QString old = box->text();
    if (old == plain) {
        return;
    }
    const auto from_end = old.size() - box->cursorPosition();
    box->setText(plain);
    box->setCursorPosition(
        static_cast<int>(std::clamp<qsizetype>(plain.size() - from_end, 0, plain.size())));
}

}  // namespace

void main_form::add_Change() {
    if (const auto value = spin_value(add)) {
        VScroll1->setValue(*value);
    }
}

void main_form::VScroll1_Change() { rewrite(add, VScroll1->value()); }

void main_form::chuankou_num_Change() {
    if (const auto value = spin_value(chuankou_num)) {
        VScroll2->setValue(*value);
    }
}

void main_form::VScroll2_Change() { rewrite(chuankou_num, VScroll2->value()); }

// ---- Window --------------------------------------------------------------------

void main_form::show_error(const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("提示"), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setFont(song(12));
    box->open();
}

bool main_form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chuankou_num && event->type() == QEvent::ToolTip) {
        // Adapters come and go; the table is read when the operator asks for it.
        chuankou_num->setToolTip(serial::port_table_text());
    }
    return QWidget::eventFilter(watched, event);
}

void main_form::closeEvent(QCloseEvent* event) {
    MSComm1->set_port_open(false);
    // Dialogs have no owner; left alone, a hidden or visible one would keep the
    // program running with no main window.
    dialogs_.dispose();
    event->accept();
}

}  // namespace tarvok::ui
