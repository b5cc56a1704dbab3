// "扫描总线": every module on the main window's port, found with the frame that
// changes nothing (protocol/scan.h) through the bus engine's scanner, on the very
// port object the main window lends (ui/port_owner.h). While a scan holds the port the
// main window's buttons that would use it rest; afterwards the port is as it was
// before, closed or open at its own line. One instance, opened from the main window.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "bus/scanner.h"
#include "ui/port_owner.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvok::bus {
class PortLine;
}

namespace tarvok::ui {

class ScanWindow : public QWidget, public bus::ScanListener {
    Q_OBJECT

public:
    ScanWindow(PortOwner& owner, QWidget* parent);
    ~ScanWindow() override;

    QLabel* port_label;
    QRadioButton* current_line;  // the main window's 波特率 and 校验位
    QRadioButton* all_lines;
    QSpinBox* first_address;
    QSpinBox* last_address;
    QPushButton* start_button;
    QPushButton* stop_button;
    QProgressBar* progress;
    QLabel* status;
    QTreeWidget* modules;       // 地址 / 波特率 / 校验位; activating a row uses that module
    QPushButton* copy_button;   // the found modules, tab-separated (Ctrl+C)
    QPushButton* save_button;   // as CSV
    QPushButton* batch_button;  // "加入批量配置"
    QLabel* note;               // what failed, or what the operator must do next

    bool scanning() const { return scanner_ != nullptr; }
    void start();
    // Ends after the frame in flight has its answer or its deadline.
    void stop();
    // The selected modules, or all when none is selected: on the clipboard, in a CSV
    // file (false, with the reason in the note, when it could not be written), or into
    // 批量配置 as rows.
    void copy_modules();
    bool save_modules(const QString& path);
    void send_to_batch();

    void line_started(const protocol::LineSetting& line, int index, int count) override;
    void progressed(int done, int total, std::uint8_t address) override;
    void module_found(const bus::FoundModule& module) override;
    void found_again(const bus::FoundModule& first, const protocol::LineSetting& again) override;
    void noted(const bus::Note& note) override;
    void scan_finished(bus::ScanEnd end) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void lay_out();
    void name_controls();
    void show_choices();
    std::optional<std::pair<bus::ScanPlan, int>> plan();
    void finish();
    void use_module(const QTreeWidgetItem* item);
    void set_running(bool running);
    std::vector<KnownModule> chosen_modules() const;
    void choose_file();

    PortOwner& owner_;
    std::unique_ptr<bus::PortLine> line_;
    std::unique_ptr<bus::Scanner> scanner_;
    int port_ = 0;
    QString device_;
    QString line_now_;
    std::optional<bus::ScanEnd> ended_;
    bool stopping_ = false;
    bool close_when_done_ = false;  // closed while the scan was stopping
};

}  // namespace tarvok::ui
