// Small helpers for driving the main window in tests.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace tarvok::test {

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

// Presses OK on every message box the window shows.
inline void dismiss_messages(const QWidget* window) {
    for (auto* box : window->findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    }
    QApplication::processEvents();
}

inline void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Picks an entry the way the operator does: open the list, move, confirm.
inline void pick(QComboBox* combo, int index) {
    combo->setFocus();
    combo->setCurrentIndex(index);
    QCOMPARE_EQ(combo->currentIndex(), index);
}

// The setting buttons by number: 1 channel mode (channel, mode), 2 power-on state
// (channel, choice), 3 module serial settings (baud, parity), all as list positions.
template <typename Form>
void press_setting(Form& form, int button, int first, int second) {
    switch (button) {
    case 1:
        pick(form.Combo1[0], first);
        pick(form.Combo2, second);
        click(form.Command1);
        break;
    case 2:
        pick(form.Combo1[1], first);
        pick(form.Combo4, second);
        click(form.Command2);
        break;
    default:
        pick(form.Combo5, first);
        pick(form.Combo6, second);
        click(form.Command3);
        break;
    }
}

}  // namespace tarvok::test
