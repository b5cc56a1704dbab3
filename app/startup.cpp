#include "app/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "ui/fonts.h"
#include "ui/main_form.h"

namespace tarvok::app {

namespace {

constexpr std::array kIconSizes{16, 24, 32, 48, 64, 128, 256};

// The options QApplication takes out of the arguments for itself (those of Qt's GUI
// module, its widgets and the X11 platform), so that before it starts they are not
// taken for unknown ones. The first take a value.
constexpr std::array kQtValueOptions{"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "qwindowicon",
                                     "qwindowtitle",
                                     "session",
                                     "display",
                                     "geometry",
                                     "title",
                                     "icon",
                                     "name",
                                     "style",
                                     "stylesheet",
                                     "qmljsdebugger"};
constexpr std::array kQtFlagOptions{"reverse", "widgetcount", "sync", "nograb", "dograb"};

void say(const QString& sentence) { std::fprintf(stderr, "%s\n", qPrintable(sentence)); }

void name_application() {
    QCoreApplication::setApplicationName(QStringLiteral("tarvok"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVOK_VERSION));
}

// Single-dash words stay whole, so Qt's own "-reverse" is not read as "-v".
void describe(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tarvok：通过串口设置继电器模块各路的关联方式、上电状态和模块的通讯参数。"));
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("显示本帮助后退出。")});
    parser.addOption(
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("显示版本号后退出。")});
}

// Qt's own options, hidden from --help as they are Qt's to explain.
void accept_qt_options(QCommandLineParser& parser) {
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// One sentence for the first option or argument that is neither ours nor Qt's.
std::optional<QString> misuse(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString dashes =
            unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
        return QStringLiteral("tarvok 没有选项“%1%2”，可用的选项见 tarvok --help。")
            .arg(dashes, unknown.first());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return QStringLiteral("tarvok 不接受参数“%1”，可用的选项见 tarvok --help。")
            .arg(parser.positionalArguments().first());
    }
    return std::nullopt;
}

// Qt's own texts (message box buttons, context menus, "用法") in Chinese like the rest.
void load_qt_translation(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_zh_CN"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    }
}

// The platform Qt will start: -platform beats QT_QPA_PLATFORM beats Debian's xcb.
QString requested_platform(const QStringList& arguments) {
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("-platform") ||
            arguments[i] == QLatin1String("--platform")) {
            return arguments[i + 1];
        }
    }
    const QString variable = qEnvironmentVariable("QT_QPA_PLATFORM");
    return variable.isEmpty() ? QStringLiteral("xcb") : variable;
}

// True when every platform in the list is a window system (X11 or Wayland) and
// nothing names a display to connect to.
bool display_missing(const QStringList& arguments) {
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        arguments.contains(QLatin1String("-display"))) {
        return false;
    }
    const QStringList platforms = requested_platform(arguments).split(QLatin1Char(';'));
    return std::all_of(platforms.begin(), platforms.end(), [](const QString& entry) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        return name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland"));
    });
}

// Qt gives up on a platform it cannot start with a fatal message and an abort.
void no_window_on_fatal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        say(qFormatLogMessage(type, context, text));
        return;
    }
    const QString display = !qEnvironmentVariableIsEmpty("DISPLAY")
                                ? qEnvironmentVariable("DISPLAY")
                                : qEnvironmentVariable("WAYLAND_DISPLAY");
    say(QStringLiteral(
            "无法打开 Tarvok 窗口：连接不上图形显示“%1”，请检查 DISPLAY 设置或在桌面会话中运行。")
            .arg(display));
    std::_Exit(kNoDisplay);
}

// Every size of the icon, each decoded when first asked for: on most platforms
// nothing ever draws the window's icon (X11 asks for each size as the window is
// created). Everything is answered by the set itself, built on first use.
class IconOnDemand : public QIconEngine {
public:
    IconOnDemand() = default;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        files().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return files().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return files().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return files().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return files().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new IconOnDemand(*this); }

private:
    IconOnDemand(const IconOnDemand&) = default;

    const QIcon& files() {
        if (files_.isNull()) {
            for (const int size : kIconSizes) {
                files_.addFile(QStringLiteral(":/tarvok/icons/tarvok-%1.png").arg(size),
                               QSize(size, size));
            }
        }
        return files_;
    }

    QIcon files_;
};

QStringList arguments_of(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

}  // namespace

std::optional<int> answer_before_gui(int argc, char** argv) {
    name_application();
    const QStringList arguments = arguments_of(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    accept_qt_options(parser);
    (void)parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
        QCoreApplication core(argc, argv);
        load_qt_translation(core);
        if (parser.isSet(QStringLiteral("help"))) {
            parser.showHelp(0);
        }
        parser.showVersion();
    }
    // A mistyped option is worth more than "no display", and needs none to be told.
    if (const auto sentence = misuse(parser)) {
        say(*sentence);
        return kUsage;
    }
    if (display_missing(arguments)) {
        say(QStringLiteral(
            "无法打开 Tarvok 窗口：没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置），"
            "请在桌面会话中运行。"));
        return kNoDisplay;
    }
    return std::nullopt;
}

std::unique_ptr<QApplication> make_application(int& argc, char** argv) {
    qInstallMessageHandler(no_window_on_fatal);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(nullptr);
    return app;
}

std::optional<int> refuse_unknown_options(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    (void)parser.parse(arguments);
    if (const auto sentence = misuse(parser)) {
        say(*sentence);
        return kUsage;
    }
    return std::nullopt;
}

void prepare(QApplication& app) {
    name_application();
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvok"));
    load_qt_translation(app);
    ui::register_song_face();
    QApplication::setWindowIcon(window_icon());
}

int run_window(int argc, char** argv, const std::function<void(QWidget&)>& before_show) {
    if (const auto code = answer_before_gui(argc, argv)) {
        return *code;
    }
    const auto app = make_application(argc, argv);
    if (const auto code = refuse_unknown_options(QApplication::arguments())) {
        return *code;
    }
    prepare(*app);
    ui::main_form form;
    form.setWindowIcon(QApplication::windowIcon());
    if (before_show) {
        before_show(form);
    }
    form.show();
    return QApplication::exec();
}

QIcon window_icon() { return QIcon(new IconOnDemand); }

}  // namespace tarvok::app
