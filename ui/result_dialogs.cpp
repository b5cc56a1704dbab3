#include "ui/result_dialogs.h"

#include <QLabel>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/design.h"

namespace tarvok::ui {

namespace {

QLabel* make_label(QWidget* parent, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(song(18));
    return label;
}

QPushButton* make_ok_button(QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("确定"), parent);
    button->setFont(song(15.6));
    button->setAutoDefault(false);
    button->setDefault(false);
    press_on_enter(button);
    return button;
}

template <typename Dialog>
void show_shared(QPointer<Dialog>& slot) {
    if (slot.isNull()) {
        slot = new Dialog();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    const bool was_visible = slot->isVisible();
    slot->show();
    // A window just shown is already in front; one already up is brought there.
    if (was_visible) {
        slot->raise();
    }
    slot->activateWindow();
}

}  // namespace

fm_cg::fm_cg()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      Label1(make_label(this, "修改成功")),
      cmd_queding(make_ok_button(this)) {
    setWindowTitle(QStringLiteral("提示"));
    place(Label1, 600, 360, 1695, 615);
    place(cmd_queding, 720, 1200, 1335, 495);
    Label1->setFocusPolicy(Qt::NoFocus);
    const QRect client = twips_rect(12372, 6840, 2844, 2004);
    setFixedSize(client.size());
    place_window(this, client);
    connect(cmd_queding, &QPushButton::clicked, this, &fm_cg::cmd_queding_Click);
}

void fm_cg::cmd_queding_Click() { hide(); }

void fm_cg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    cmd_queding->setFocus();
}

fm_sb::fm_sb()
    : QWidget(nullptr, Qt::Window),
      Label1(make_label(this, "修改失败")),
      Command1(make_ok_button(this)) {
    setWindowTitle(QStringLiteral("Form1"));
    place(Label1, 720, 240, 1815, 495);
    place(Command1, 600, 960, 1455, 495);
    Label1->setFocusPolicy(Qt::NoFocus);
    resize(twips_rect(0, 0, 2916, 1824).size());
    connect(Command1, &QPushButton::clicked, this, &fm_sb::Command1_Click);
}

void fm_sb::Command1_Click() { hide(); }

void fm_sb::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Command1->setFocus();
}

ResultDialogs::~ResultDialogs() { dispose(); }

void ResultDialogs::show_success() { show_shared(success_); }
void ResultDialogs::show_failure() { show_shared(failure_); }

void ResultDialogs::dispose() {
    delete success_.data();
    delete failure_.data();
}

}  // namespace tarvok::ui
