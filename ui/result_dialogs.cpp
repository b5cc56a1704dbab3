#include "ui/result_dialogs.h"

#include <QLabel>
#include <QPushButton>

#include "form/design.h"
#include "ui/controls.h"
#include "ui/design.h"

namespace tarvok::ui {

namespace {

void place(QWidget* widget, const form::Item& design) {
    const auto& at = design.at;
    tarvok::ui::place(widget, at.left, at.top, at.width, at.height);
}

QRect client_of(const form::Window& window) {
    const auto& at = window.client;
    return twips_rect(at.left, at.top, at.width, at.height);
}

QLabel* make_label(QWidget* parent, const form::ResultDialog& design) {
    auto* label = new QLabel(caption_text(design.message.text), parent);
    label->setFont(song(design.message.points));
    return label;
}

QPushButton* make_ok_button(QWidget* parent, const form::ResultDialog& design) {
    auto* button = new QPushButton(caption_text(design.ok.text), parent);
    button->setFont(song(design.ok.points));
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
      Label1(make_label(this, form::kSuccessDialog)),
      cmd_queding(make_ok_button(this, form::kSuccessDialog)) {
    setWindowTitle(caption_text(form::kSuccessDialog.window.title));
    place(Label1, form::kSuccessDialog.message);
    place(cmd_queding, form::kSuccessDialog.ok);
    Label1->setFocusPolicy(Qt::NoFocus);
    const QRect client = client_of(form::kSuccessDialog.window);
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
      Label1(make_label(this, form::kFailureDialog)),
      Command1(make_ok_button(this, form::kFailureDialog)) {
    setWindowTitle(caption_text(form::kFailureDialog.window.title));
    place(Label1, form::kFailureDialog.message);
    place(Command1, form::kFailureDialog.ok);
    Label1->setFocusPolicy(Qt::NoFocus);
    resize(client_of(form::kFailureDialog.window).size());
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
