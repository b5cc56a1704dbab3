// Driving the main window in tests, and the window wired to a pseudo-terminal as
// port 1, opened through its own button.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "testbed/config_dir.h"
#include "tests/support/watched_pty.h"
#include "ui/main_form.h"

namespace tarvok::test {

// The offscreen platform warns each time a window asks for what it cannot do; a
// desktop would not. Those exact warnings are dropped so the log shows real ones.
// Call from initTestCase, once the test framework's own handler is in place; every
// other message still goes to it.
inline void drop_offscreen_limits() {
    static QtMessageHandler framework = nullptr;
    framework = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            const bool limit =
                text == QLatin1String("This plugin does not support raise()") ||
                text == QLatin1String("This plugin does not support propagateSizeHints()");
            if (type != QtWarningMsg || !limit) {
                framework(type, context, text);
            }
        });
}

// Texts of the message boxes the window shows right now.
inline QStringList shown_messages(const QWidget* window) {
    QStringList texts;
    for (const auto* box : window->findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            texts.append(box->text());
        }
    }
    return texts;
}

inline void dismiss_messages(const QWidget* window) {
    for (auto* box : window->findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    }
    QApplication::processEvents();
}

inline void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Picks an entry the way the operator does.
inline void pick(QComboBox* combo, int index) {
    combo->setFocus();
    combo->setCurrentIndex(index);
}

// The setting buttons by number: 1 channel mode (channel, mode), 2 power-on state
// (channel, choice), 3 module serial settings (baud, parity), all as list positions.
inline void press_setting(ui::main_form& form, int button, int first, int second) {
    const std::array<std::array<QComboBox*, 2>, 3> lists = {
        {{form.Combo1[0], form.Combo2}, {form.Combo1[1], form.Combo4}, {form.Combo5, form.Combo6}}};
    const std::array<QPushButton*, 3> buttons = {form.Command1, form.Command2, form.Command3};
    const auto at = static_cast<std::size_t>(button - 1);
    pick(lists.at(at)[0], first);
    pick(lists.at(at)[1], second);
    click(buttons.at(at));
}

inline bool success_shown(ui::main_form& form) {
    return form.dialogs().success() && form.dialogs().success()->isVisible();
}
inline bool failure_shown(ui::main_form& form) {
    return form.dialogs().failure() && form.dialogs().failure()->isVisible();
}

inline QByteArray from_hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
inline QByteArray to_hex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper(); }

struct WiredWindow {
    testbed::ConfigDir config;
    WatchedPty wire;
    ui::main_form form;

    explicit WiredWindow(bool open = true) {
        config.link_port(1, wire.slave_path());
        if (open) {
            click(form.open_comm);
        }
    }

    // Writes bytes from the module's side and waits until the window has read them: it
    // judges them as it reads. False when it never did (a closed port).
    bool receive(const QByteArray& bytes) {
        wire.write(bytes);
        return QTest::qWaitFor([this] { return wire.waiting_at_slave() == 0; }, 5000);
    }
};

}  // namespace tarvok::test
