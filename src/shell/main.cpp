#include "data/db.h"
#include "gui/appinfo.h"
#include "gui/prompt.h"
#include "shell/datafolder.h"
#include "shell/module1.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <exception>

namespace {
// The last safety net: an error that escaped an event handler ends that handler, is logged and
// is shown once, instead of ending the program (and its unsaved windows) with an abort.
class Application : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            escaped(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            escaped(QStringLiteral("unknown error"));
        }
        return false;
    }

private:
    void escaped(const QString& what)
    {
        std::fprintf(stderr, "vantorel: error in an event handler: %s\n", qPrintable(what));
        if (showing_)
            return; // the box already shown says it; events it runs must not stack more boxes
        showing_ = true;
        MsgBox(QStringLiteral("程序内部出错，刚才的操作没有完成：\n%1").arg(what));
        showing_ = false;
    }

    bool showing_ = false;
};

// The command line, read before any window system is needed, so that --help and --version
// work in a terminal without a display. Returns the --data-dir value.
QString readOptions(int& argc, char* argv[])
{
    QCoreApplication console(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    QCommandLineParser options;
    options.setApplicationDescription(AppInfo::kTitle);
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keep the data (mylive.dc and its companions) in <dir>."),
                                     QStringLiteral("dir"));
    options.addOption(dataDir);
    options.process(console); // --help and --version print and end here
    return options.value(dataDir);
}
} // namespace

int main(int argc, char* argv[])
{
    const QString given = readOptions(argc, argv);
    Application app(argc, argv);

    QString folder;
    try {
        folder = DataFolder::choose(QCoreApplication::applicationDirPath(), given);
    } catch (const Db::Error& e) {
        MsgBox(e.text());
        return 1;
    }
    if (!Module1::Main(folder))
        return 0;
    return app.exec();
}
