// The scanning half of the scan window: the plan from the window's choices, the port
// lent by the main window, the scan's frames in the traffic record, and the port given
// back as it was.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include "bus/port_line.h"
#include "protocol/scan.h"
#include "serial/port.h"
#include "serial/port_messages.h"
#include "ui/controls.h"
#include "ui/scan_window.h"
#include "ui/traffic.h"
#include "ui/value_words.h"

namespace tarvok::ui {

namespace {

// Beyond this the operator is told how long the scan may take, as tarvokctl does.
constexpr int kSayBoundMs = 10'000;

}  // namespace

std::optional<std::pair<bus::ScanPlan, int>> ScanWindow::plan() {
    const auto choice = owner_.port_choice();
    if (const auto* why = std::get_if<QString>(&choice)) {
        note->setText(*why);
        return std::nullopt;
    }
    const auto& chosen = std::get<PortChoice>(choice);
    bus::ScanPlan plan;
    plan.lines = all_lines->isChecked()
                     ? protocol::scan_lines(std::nullopt, std::nullopt)
                     : protocol::scan_lines(chosen.line.baud, chosen.line.parity);
    const auto [low, high] = std::minmax({first_address->value(), last_address->value()});
    for (int address = low; address <= high; ++address) {
        plan.addresses.push_back(static_cast<std::uint8_t>(address));
    }
    return std::pair{plan, chosen.port};
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
    if (owner_.lent()) {
        note->setText(tr("串口正被另一个窗口使用，请等它结束后再开始。"));
        return;
    }
    const auto& [scan_plan, port] = *planned;
    modules->clear();
    line_now_.clear();
    stopping_ = false;
    ended_.reset();
    port_ = port;
    serial::Port& lent = owner_.lend();
    if (!lent.is_open()) {
        if (const auto error = lent.open(port_, scan_plan.lines.front())) {
            note->setText(serial::open_failed(port_, *error));
            owner_.give_back();
            return;
        }
    }
    device_ = lent.device();
    if (const auto bound = bus::scan_bound(scan_plan); bound.count() > kSayBoundMs) {
        note->setText(
            tr("这次扫描最多约需 %1 秒，可随时按“停止”。").arg((bound.count() + 999) / 1000));
    }
    line_ = std::make_unique<bus::PortLine>(lent);
    scanner_ = std::make_unique<bus::Scanner>(*line_, scan_plan, *this);
    set_running(true);
    progress->setRange(0, static_cast<int>(scan_plan.lines.size() * scan_plan.addresses.size()));
    progress->setValue(0);
    QTimer::singleShot(0, this, [this] {
        if (scanner_) {
            scanner_->start();
        }
    });
}

void ScanWindow::stop() {
    if (scanning()) {
        stopping_ = true;
        status->setText(tr("正在停止……"));
        scanner_->stop();
    }
}

// The scan's frames in the main window's record, as its own frames are. Silence is
// what most addresses of a scan answer, so it gets no 无应答 line.
void ScanWindow::noted(const bus::Note& note) { owner_.traffic().noted(note); }

void ScanWindow::line_started(const protocol::LineSetting& line, int index, int count) {
    line_now_ = tr("%1（第 %2/%3 种）").arg(line_text(line)).arg(index + 1).arg(count);
    owner_.traffic().port_opened(port_, device_, line);
}

// From the scanner's own call: the scanner goes once the loop is back.
void ScanWindow::scan_finished(bus::ScanEnd end) {
    ended_ = end;
    QTimer::singleShot(0, this, &ScanWindow::finish);
}

void ScanWindow::finish() {
    if (!ended_ || !scanner_) {
        return;
    }
    std::optional<QString> failure;
    switch (*ended_) {
    case bus::ScanEnd::completed:
    case bus::ScanEnd::stopped:
        break;
    case bus::ScanEnd::port_lost:
        failure = serial::port_lost(port_, device_);
        owner_.traffic().port_lost(device_);
        break;
    case bus::ScanEnd::line_fault:
        failure = serial::read_failed(port_, device_);
        break;
    }
    const bool completed = *ended_ == bus::ScanEnd::completed;
    scanner_.reset();
    line_.reset();
    if (const auto returned = owner_.give_back()) {
        failure = returned;
    }
    set_running(false);
    const int found = modules->topLevelItemCount();
    status->setText(completed ? tr("扫描完成，找到 %n 个模块。", nullptr, found)
                              : tr("扫描已停止，找到 %n 个模块。", nullptr, found));
    if (failure) {
        note->setText(*failure);
    } else if (modules->topLevelItemCount() == 0) {
        note->setText(tr("没有找到模块。可以试试：%1检查接线，RS-485 适配器的 A、B 两线是否接反；"
                         "确认模块已通电。")
                          .arg(all_lines->isChecked() ? QString()
                                                      : tr("选“全部”，询问所有波特率和校验位；")));
    } else {
        note->clear();
    }
    if (close_when_done_) {
        deleteLater();
    }
}

}  // namespace tarvok::ui
