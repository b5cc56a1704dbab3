// "通讯记录": every recorded event of the wire on its own line, with buttons to clear
// the record and save it as text or CSV. One instance, opened from the main window.
#pragma once

#include <QWidget>

#include <deque>

#include "ui/traffic.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarvok::ui {

class TrafficWindow : public QWidget {
    Q_OBJECT

public:
    TrafficWindow(Traffic& traffic, QWidget* owner);

    QPlainTextEdit* view;
    QLabel* dropped_note;
    QPushButton* clear_button;
    QPushButton* save_button;

    // Writes the record as UTF-8 text, or as CSV when the name ends in .csv; tells
    // the operator when that fails.
    void save_to(const QString& path);

private:
    void append(const TrafficEvent& event);
    void flush();
    void clear_all();
    void choose_file();

    Traffic& traffic_;
    std::deque<TrafficEvent> pending_;  // not yet shown; only the newest can be
    QTimer* flush_timer_;
};

}  // namespace tarvok::ui
