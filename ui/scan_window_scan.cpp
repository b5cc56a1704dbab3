// The scanning half of the scan window: the plan from the window's choices, the port
// lent by the main window's serial control, the scan's frames in the traffic record,
// and the port given back as it was.
#include "ui/scan_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

#include <algorithm>

#include "bus/bus.h"
#include "protocol/scan.h"
#include "protocol/wire.h"
#include "serial/port_messages.h"
#include "serial/port_number.h"
#include "ui/controls.h"
#include "ui/main_form.h"

namespace tarvok::ui {

namespace {

// Beyond this the operator is told how long the scan may take, as tarvokctl does.
constexpr int kSayBoundMs = 10'000;

QString settings_text(const protocol::LineSetting& line) {
    return QStringLiteral("%1,%2,8,1")
        .arg(line.baud)
        .arg(QLatin1Char(serial::parity_letter(line.parity)));
}

// The scan's frames in the main window's record, as its own frames are: every frame
// sent, every eight bytes judged, bytes dropped. Silence is what most addresses of a
// scan answer, so it gets no 无应答 line.
void record(Traffic& traffic, const bus::Note& note) {
    const auto frame = [&note] { return protocol::frame_from(note.bytes); };
    const bool whole = note.bytes.size() >= protocol::kFrameSize;
    switch (note.kind) {
    case bus::Note::Kind::sent:
        traffic.sent(frame(), false);
        return;
    case bus::Note::Kind::junk:
        traffic.discarded(QByteArray(reinterpret_cast<const char*>(note.bytes.data()),
                                     static_cast<qsizetype>(note.bytes.size())));
        return;
    case bus::Note::Kind::echo:
    case bus::Note::Kind::garbled_echo:
    case bus::Note::Kind::unmatched:
    case bus::Note::Kind::duplicate:
    case bus::Note::Kind::late:
        if (whole) {
            traffic.received(frame());
        }
        return;
    case bus::Note::Kind::deadline:
        return;
    }
}

}  // namespace

std::optional<bus::ScanPlan> ScanWindow::plan() {
    const QString typed = form_.chuankou_num->text();
    const auto number = serial::port_number(typed.toStdString());
    if (!number) {
        note->setText(serial::port_number_invalid(typed));
        return std::nullopt;
    }
    bus::ScanPlan plan;
    plan.port = *number;
    plan.lines = all_lines->isChecked()
                     ? protocol::scan_lines(std::nullopt, std::nullopt)
                     : protocol::scan_lines(value_of<std::uint32_t>(form_.Combo3),
                                            value_of<protocol::Parity>(form_.Combo7));
    const auto [low, high] = std::minmax({first_address->value(), last_address->value()});
    for (int address = low; address <= high; ++address) {
        plan.addresses.push_back(static_cast<std::uint8_t>(address));
    }
    return plan;
}

void ScanWindow::start() {
    if (scanning()) {
        return;
    }
    note->clear();
    const auto planned = plan();
    if (!planned) {
        return;
    }
    modules->clear();
    line_now_.clear();
    stopping_ = false;
    port_ = planned->port;
    was_open_ = form_.MSComm1->port_open();
    if (const auto bound = bus::scan_bound(*planned); bound.count() > kSayBoundMs) {
        note->setText(QStringLiteral("这次扫描最多约需 %1 秒，可随时按“停止”。")
                          .arg((bound.count() + 999) / 1000));
    }
    scanner_ = new bus::Scanner(form_.MSComm1->lend(), this);
    watch(scanner_);
    form_.scan_holds_port(true);
    set_running(true);
    progress->setRange(0, static_cast<int>(planned->lines.size() * planned->addresses.size()));
    progress->setValue(0);
    scanner_->start(*planned);
}

void ScanWindow::stop() {
    if (scanning()) {
        stopping_ = true;
        status->setText(QStringLiteral("正在停止……"));
        scanner_->stop();
    }
}

void ScanWindow::watch(bus::Scanner* scanner) {
    Traffic& traffic = form_.traffic();
    connect(&scanner->bus(), &bus::Bus::noted, this,
            [&traffic](const bus::Note& n) { record(traffic, n); });
    connect(&scanner->bus(), &bus::Bus::discarded, &traffic, &Traffic::discarded);
    connect(scanner, &bus::Scanner::replied, &traffic,
            [&traffic](const protocol::Frame& reply) { traffic.received(reply); });
    connect(scanner, &bus::Scanner::line_started, this, &ScanWindow::line_started);
    connect(scanner, &bus::Scanner::progress, this, &ScanWindow::progressed);
    connect(scanner, &bus::Scanner::module_found, this, &ScanWindow::add_module);
    connect(scanner, &bus::Scanner::found_again, this, &ScanWindow::found_again);
    connect(scanner, &bus::Scanner::finished, this, &ScanWindow::finished);
}

void ScanWindow::line_started(const protocol::LineSetting& line, int index, int count) {
    line_now_ = QStringLiteral("%1（第 %2/%3 种）")
                    .arg(line_words(line.baud, line.parity))
                    .arg(index + 1)
                    .arg(count);
    const protocol::LineSetting settings{line.baud, line.parity};
    form_.traffic().port_opened(port_, form_.MSComm1->device(), settings_text(settings),
                                protocol::reply_timeout_ms(line.baud, line.parity));
}

void ScanWindow::finished(bus::ScanEnd end, const serial::SerialError& error) {
    std::optional<QString> failure;
    std::optional<QString> lost_device;
    switch (end) {
    case bus::ScanEnd::completed:
    case bus::ScanEnd::stopped:
        break;
    case bus::ScanEnd::port_unavailable:
        failure = serial::open_failed(port_, error);
        break;
    case bus::ScanEnd::port_lost:
        failure = serial::port_lost(port_, error.device);
        lost_device = error.device;
        break;
    }
    if (const auto returned = return_port(lost_device)) {
        failure = returned;
    }
    const bool completed = end == bus::ScanEnd::completed;
    scanner_->deleteLater();
    scanner_ = nullptr;
    form_.scan_holds_port(false);
    set_running(false);
    status->setText(QStringLiteral("%1，找到 %2 个模块。")
                        .arg(completed ? QStringLiteral("扫描完成") : QStringLiteral("扫描已停止"))
                        .arg(modules->topLevelItemCount()));
    if (failure) {
        note->setText(*failure);
    }
    if (close_when_done_) {
        deleteLater();
    }
}

// Back to the state before the scan: closed, or open at the main window's own line
// and port with its receive events; a lost device stays closed.
std::optional<QString> ScanWindow::return_port(const std::optional<QString>& lost_device) {
    MSComm& comm = *form_.MSComm1;
    Traffic& traffic = form_.traffic();
    comm.set_port_open(false);
    std::optional<QString> failure;
    if (was_open_ && !lost_device) {
        if (const auto error = comm.set_port_open(true)) {
            failure = serial::open_failed(comm.comm_port(), *error);
        }
    }
    comm.give_back();
    if (lost_device) {
        traffic.port_lost(*lost_device);
    } else if (comm.port_open()) {
        const auto line = comm.settings();
        traffic.port_opened(comm.comm_port(), comm.device(), settings_text(line),
                            protocol::reply_timeout_ms(line.baud, line.parity));
    } else if (!line_now_.isEmpty()) {
        traffic.port_closed();  // the scan had it open
    }
    if (was_open_ && !comm.port_open()) {
        form_.port_closed_ui();
    }
    return failure;
}

bool ScanWindow::port_open_in_main_window() const {
    return scanning() ? was_open_ : form_.MSComm1->port_open();
}

}  // namespace tarvok::ui
