#include "gui/appinfo.h"
#include "gui/prompt.h"
#include "shell/datafolder.h"
#include "shell/module1.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {
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
    QApplication app(argc, argv);

    QString error;
    const QString folder = DataFolder::choose(QCoreApplication::applicationDirPath(), given, &error);
    if (folder.isEmpty()) {
        MsgBox(error);
        return 1;
    }
    if (!Module1::Main(folder))
        return 0;
    return app.exec();
}
