// The main window wired to a pseudo-terminal as port 1, the port opened through the
// window's own button.
#pragma once

#include <QTest>

#include "tests/support/config_dir.h"
#include "tests/support/pty_pair.h"
#include "tests/support/ui_helpers.h"
#include "ui/main_form.h"

namespace tarvok::test {

struct WiredWindow {
    ConfigDir config;
    PtyPair wire;
    ui::main_form form;

    explicit WiredWindow(bool open = true) {
        config.link_port(1, wire.slave_path());
        if (open) {
            click(form.open_comm);
        }
    }

    // Writes bytes from the module's side and lets the window take them in.
    void receive(const QByteArray& bytes, int settle_ms = 30) {
        wire.write(bytes);
        QTest::qWait(settle_ms);
    }
};

inline QByteArray from_hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

inline QByteArray to_hex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper(); }

}  // namespace tarvok::test
