// "扫描总线": every module on the main window's port, found with the frame that
// changes nothing (protocol/scan.h) through the bus engine's scanner, on the very
// port object the main window uses. While a scan holds the port the main window's
// buttons that would use it rest; afterwards the port is as it was before, closed or
// open at its own line. One instance, opened from the main window.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

#include "bus/scanner.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvok::ui {

class main_form;

// "19200 偶校验": a line as the scan window words it.
QString line_words(std::uint32_t baud, protocol::Parity parity);

class ScanWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScanWindow(main_form& form);

    QLabel* port_label;
    QRadioButton* current_line;  // the main window's 波特率 and 校验位
    QRadioButton* all_lines;
    QSpinBox* first_address;
    QSpinBox* last_address;
    QPushButton* start_button;
    QPushButton* stop_button;
    QProgressBar* progress;
    QLabel* status;
    QTreeWidget* modules;  // 地址 / 波特率 / 校验位; activating a row uses that module
    QLabel* note;          // what failed, or what the operator must do next

    bool scanning() const { return scanner_ != nullptr; }
    void start();
    // Ends after the frame in flight has its answer or its deadline.
    void stop();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void lay_out();
    void name_controls();
    void show_choices();
    std::optional<bus::ScanPlan> plan();
    void watch(bus::Scanner* scanner);
    void line_started(const protocol::LineSetting& line, int index, int count);
    void progressed(int done, int total, std::uint8_t address);
    void add_module(const bus::FoundModule& module);
    void found_again(const bus::FoundModule& first, const protocol::LineSetting& again);
    void finished(bus::ScanEnd end, const serial::SerialError& error);
    std::optional<QString> return_port(const std::optional<QString>& lost_device);
    void use_module(const QTreeWidgetItem* item);
    void set_running(bool running);
    bool port_open_in_main_window() const;

    main_form& form_;
    bus::Scanner* scanner_ = nullptr;
    int port_ = 0;
    QString line_now_;  // empty until the scan opened the port at a line
    bool stopping_ = false;
    bool was_open_ = false;         // the port's state before the scan, to return to
    bool close_when_done_ = false;  // closed while the scan was stopping
};

}  // namespace tarvok::ui
