// The main window: the PC port group, the module address and the three setting
// groups, with the serial line MSComm1 and the reply store recv_buf.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>

#include "form/design.h"
#include "ui/module1.h"
#include "ui/ms_comm.h"
#include "ui/result_dialogs.h"
#include "ui/scan_window.h"
#include "ui/traffic.h"
#include "ui/traffic_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvok::ui {

class SpinArrows;

class main_form : public QWidget {
    Q_OBJECT

public:
    explicit main_form(QWidget* parent = nullptr);
    ~main_form() override;
    main_form(const main_form&) = delete;
    main_form& operator=(const main_form&) = delete;

    // Controls, named as the window design names them.
    QLabel* Label3;
    QLineEdit* chuankou_num;
    SpinArrows* VScroll2;
    QPushButton* open_comm;
    QLabel* Label2;
    QComboBox* Combo3;
    QLabel* Label4;
    QComboBox* Combo7;
    QLabel* Label5;
    QLineEdit* add;
    SpinArrows* VScroll1;
    QGroupBox* Frame1;
    QLabel* Label7;
    QLabel* Label8;
    QComboBox* Combo2;
    QPushButton* Command1;
    QGroupBox* Frame2;
    QLabel* Label9;
    QLabel* Label10;
    QComboBox* Combo4;
    QPushButton* Command2;
    QGroupBox* Frame3;
    QLabel* Label11;
    QComboBox* Combo5;
    QLabel* Label12;
    QComboBox* Combo6;
    QPushButton* Command3;
    std::array<QComboBox*, 2> Combo1{};

    MSComm* MSComm1;
    std::array<std::int32_t, 100> recv_buf{};

    ResultDialogs& dialogs() { return dialogs_; }
    Traffic& traffic() { return traffic_; }
    // "通讯记录", opened with F12, Ctrl+L or the background's context menu; null
    // until first opened and after it was closed.
    TrafficWindow* traffic_window() const { return traffic_window_; }
    void open_traffic_window();
    // "扫描总线", opened with Ctrl+F or the background's context menu; null until
    // first opened and after it was closed.
    ScanWindow* scan_window() const { return scan_window_; }
    void open_scan_window();
    // While a scan holds the port, the buttons that would use it rest.
    void scan_holds_port(bool held);
    Module1& module1() { return module1_; }

    // Event handlers.
    void Form_Load();
    void open_comm_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void MSComm1_OnComm();
    void add_Change();
    void VScroll1_Change();
    void chuankou_num_Change();
    void VScroll2_Change();

    // Procedures.
    void init_lists();
    void show_result();
    void port_opened_ui();
    void port_closed_ui();

signals:
    // After a reply passed the check and its dialog was shown; for observers such
    // as tests and measurements.
    void result_shown(bool success);

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The control the design names, and where the design puts it: this window or
    // one of its frames.
    QWidget* widget(form::Id id) const;
    QWidget* in(form::Id id) const;
    void set_tab_order();
    void name_controls();
    void connect_handlers();
    void add_shortcuts();
    void follow_text(const QLineEdit* box, SpinArrows* arrows);
    void follow_arrows(QLineEdit* box, const SpinArrows* arrows);
    void finish_editing(QLineEdit* box, const SpinArrows* arrows);
    void MSComm1_Lost(const serial::SerialError& error);
    void fail_open(const QString& message);
    void report(SendResult result);
    void show_error(const QString& message);
    // The last eight bytes read, as the frame they form.
    protocol::Frame received_frame() const;

    ResultDialogs dialogs_;
    Traffic traffic_;
    QPointer<TrafficWindow> traffic_window_;
    QPointer<ScanWindow> scan_window_;
    bool following_text_ = false;  // the spin value is being set from typed text
    Module1 module1_;
};

}  // namespace tarvok::ui
