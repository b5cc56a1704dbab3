// The real tarvok-sim as a child process, started one way for tests and measurements
// alike. It takes this process's environment as it is at start (so it registers its
// port wherever ConfigDir pointed XDG_CONFIG_HOME), its first line is the one made for
// programs ("tarvok-sim port N DEVICE"), its log goes to a file that is read line by
// line (a pipe nobody reads while a measurement blocks would make it drop lines), and
// it is stopped the way a technician stops it, with SIGTERM (or any other signal).
// Its log speaks Chinese (C.UTF-8), the words tests read, unless told another locale.
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <optional>

namespace tarvok::testbed {

class Simulator {
public:
    Simulator() = default;
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts the simulator (held on `core` when given) and reads its first line; the
    // pty device it announced there, or empty when it ended or said anything else
    // first (error_text() says why).
    QString start(const QString& program, const QStringList& args,
                  std::optional<int> core = std::nullopt, int wait_ms = 5000);

    // The next line not yet taken that contains `text`, waiting up to `wait_ms` with
    // the event loop turning. Lines before it are taken too, so a later call only
    // sees newer output.
    std::optional<QString> take_line(const QString& text, int wait_ms = 5000);
    // The locale it starts in (LC_ALL; LANGUAGE unset), C.UTF-8 unless set here first.
    void speak(const QString& locale) { locale_ = locale; }
    // Typed at its terminal.
    void type(const QByteArray& text) { proc_.write(text); }

    // Sends `signo`, then waits for the exit; the exit code, or nothing if it would
    // not end in time (it is killed then) or ended by the signal itself.
    std::optional<int> stop(int wait_ms = 5000, int signo = SIGTERM);

    bool running() const { return proc_.state() != QProcess::NotRunning; }
    // Every line of its log so far.
    const QStringList& lines();
    QString error_text() const;

private:
    void collect();

    QString locale_ = QStringLiteral("C.UTF-8");
    QTemporaryDir dir_;
    QProcess proc_;
    QFile log_;
    QByteArray partial_;
    QStringList lines_;
    qsizetype taken_ = 0;
};

}  // namespace tarvok::testbed
