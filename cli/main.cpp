// tarvokctl on Linux: the platform it needs (cli/platform.h) over Qt's event loop,
// serial::Port and the stop signals' self-pipe. QtCore and QSerialPort only: it runs
// with no display.
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>

#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/port_line.h"
#include "cli/stop_signals.h"
#include "cli/tool.h"
#include "plan/job_record.h"
#include "serial/port.h"
#include "serial/port_directory.h"
#include "serial/port_messages.h"

namespace {

using namespace tarvok;

// The port goes with the line that drives it, and before it.
struct PortHolder {
    serial::Port port;
};

class OwningLine : private PortHolder, public bus::PortLine {
public:
    OwningLine() : bus::PortLine(PortHolder::port) {}
    serial::Port& owned() { return PortHolder::port; }
};

class QtPlatform : public cli::Platform {
public:
    std::variant<Opened, std::string> open(int number, const protocol::LineSetting& line) override {
        // The stop signals are the tool's from before the port opens: one that comes
        // between the first frame and the loop waits in the pipe for the loop, instead
        // of ending the process with the frame unanswered and the port's lock left.
        if (!stops_) {
            stops_.emplace();
        }
        auto owning = std::make_unique<OwningLine>();
        if (const auto error = owning->owned().open(number, line)) {
            return serial::open_failed(number, *error).toStdString();
        }
        std::string device = owning->owned().device().toStdString();
        return Opened{std::move(owning), std::move(device)};
    }

    void run(const std::function<bool()>& done, const std::function<void(int)>& stop) override {
        if (!stops_) {
            stops_.emplace();
        }
        const QMetaObject::Connection taken =
            QObject::connect(&*stops_, &cli::StopSignals::caught, stop);
        while (!done()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QObject::disconnect(taken);
    }

    std::string port_table() override { return serial::port_table_text().toStdString(); }

    std::string now() override {
        const auto& pattern = plan::kTimePattern;
        return QDateTime::currentDateTime()
            .toString(QString::fromLatin1(pattern.data(), static_cast<qsizetype>(pattern.size())))
            .toStdString();
    }

private:
    std::optional<cli::StopSignals> stops_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A reader that went away costs a sentence and exit 74, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    QtPlatform platform;
    // The arguments' bytes as they came: a plan's file name stays the file's.
    return cli::run_tarvokctl(std::vector<std::string>(argv + 1, argv + argc), platform);
}
