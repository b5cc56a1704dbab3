// The main window's number boxes with their spin arrows, and what it does as a
// window: messages, the port table tooltip, the traffic window and closing, and
// where each control of the design is.
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include "form/design.h"
#include "protocol/number_text.h"
#include "serial/port_directory.h"
#include "ui/batch_inbox.h"
#include "ui/design.h"
#include "ui/main_form.h"
#include "ui/spin_arrows.h"
#include "ui/windows.h"

namespace tarvok::ui {

using form::Id;

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
// the text.
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

void main_form::follow_text(const QLineEdit* box, SpinArrows* arrows) {
    if (const auto value = spin_value(box)) {
        following_text_ = true;
        arrows->setValue(*value);
        following_text_ = false;
    }
}

void main_form::follow_arrows(QLineEdit* box, const SpinArrows* arrows) {
    // Text the operator is typing is never rewritten under the caret: "1.5" on its
    // way to "1.51" would become "2" and the next key would land in that.
    if (!(following_text_ && box->isModified())) {
        rewrite(box, arrows->value());
    }
}

void main_form::finish_editing(QLineEdit* box, const SpinArrows* arrows) {
    if (spin_value(box)) {
        rewrite(box, arrows->value());
    }
}

void main_form::add_Change() { follow_text(add, VScroll1); }

void main_form::VScroll1_Change() { follow_arrows(add, VScroll1); }

void main_form::chuankou_num_Change() { follow_text(chuankou_num, VScroll2); }

void main_form::VScroll2_Change() { follow_arrows(chuankou_num, VScroll2); }

// ---- Window --------------------------------------------------------------------

void main_form::show_error(const QString& message) {
    // A fault that repeats is told once, not once per repeat.
    for (const auto* shown : findChildren<QMessageBox*>()) {
        if (shown->isVisible() && shown->text() == message) {
            return;
        }
    }
    auto* box = new QMessageBox(QMessageBox::Warning, tr("提示"), message, QMessageBox::Ok, this);
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

void main_form::open_traffic_window() {
    if (traffic_window_.isNull()) {
        traffic_window_ = make_traffic_window(traffic_, this);
    }
    traffic_window_->show();
    traffic_window_->activateWindow();
}

void main_form::open_scan_window() {
    if (scan_window_.isNull()) {
        scan_window_ = make_scan_window(*this, this);
    }
    scan_window_->show();
    scan_window_->activateWindow();
}

void main_form::open_batch_window() {
    if (batch_window_.isNull()) {
        const BatchWindowParts parts = make_batch_window(*this, this);
        batch_window_ = parts.window;
        batch_inbox_ = parts.inbox;
    }
    batch_window_->show();
    batch_window_->activateWindow();
}

void main_form::open_batch_file(const QString& path) {
    open_batch_window();
    batch_inbox_->open_plan(path);
}

void main_form::open_batch_with(const std::vector<KnownModule>& modules) {
    open_batch_window();
    batch_inbox_->take_modules(modules);
}

void main_form::add_shortcuts() {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_F12), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                &main_form::open_traffic_window);
    }
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
            &main_form::open_scan_window);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this), &QShortcut::activated, this,
            &main_form::open_batch_window);
}

void main_form::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("通讯记录…"), QKeySequence(Qt::Key_F12), this,
                    &main_form::open_traffic_window);
    menu->addAction(tr("扫描总线…"), QKeySequence(Qt::CTRL | Qt::Key_F), this,
                    &main_form::open_scan_window);
    menu->addAction(tr("批量配置…"), QKeySequence(Qt::CTRL | Qt::Key_B), this,
                    &main_form::open_batch_window);
    menu->popup(event->globalPos());
}

void main_form::closeEvent(QCloseEvent* event) {
    // A scan or a batch run ends with the window, before the port closes: nothing
    // reopens it.
    delete scan_window_.data();
    delete batch_window_.data();
    MSComm1->set_port_open(false);
    // Dialogs have no owner; left alone, a hidden or visible one would keep the
    // program running with no main window.
    dialogs_.dispose();
    event->accept();
}

// ---- The design's controls -------------------------------------------------------

QWidget* main_form::widget(form::Id id) const {
    switch (id) {
    case Id::Label3:
        return Label3;
    case Id::chuankou_num:
        return chuankou_num;
    case Id::VScroll2:
        return VScroll2;
    case Id::open_comm:
        return open_comm;
    case Id::Label2:
        return Label2;
    case Id::Combo3:
        return Combo3;
    case Id::Label4:
        return Label4;
    case Id::Combo7:
        return Combo7;
    case Id::Label5:
        return Label5;
    case Id::add:
        return add;
    case Id::VScroll1:
        return VScroll1;
    case Id::Frame1:
        return Frame1;
    case Id::Label7:
        return Label7;
    case Id::Combo1_0:
        return Combo1[0];
    case Id::Label8:
        return Label8;
    case Id::Combo2:
        return Combo2;
    case Id::Command1:
        return Command1;
    case Id::Frame2:
        return Frame2;
    case Id::Label9:
        return Label9;
    case Id::Combo1_1:
        return Combo1[1];
    case Id::Label10:
        return Label10;
    case Id::Combo4:
        return Combo4;
    case Id::Command2:
        return Command2;
    case Id::Frame3:
        return Frame3;
    case Id::Label11:
        return Label11;
    case Id::Combo5:
        return Combo5;
    case Id::Label12:
        return Label12;
    case Id::Combo6:
        return Combo6;
    case Id::Command3:
        return Command3;
    }
    return nullptr;
}

// Frames come before their children, so a child's frame is there when it is made.
QWidget* main_form::in(form::Id id) const {
    const auto frame = form::control(id).frame;
    return frame ? widget(*frame) : const_cast<main_form*>(this);
}

}  // namespace tarvok::ui
