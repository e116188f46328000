#include "views/exchange/dlogexchange.h"

#include "data/db.h"
#include "data/exchange.h"
#include "gui/changes.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/windowplace.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>

namespace {
struct Kind
{
    const char* caption;
    const char* filter;
};

const Kind kKinds[DlogExchange::kRows] = {
    {"任务（iCalendar .ics）", "iCalendar 文件 (*.ics)"}, {"联系人（vCard .vcf）", "vCard 文件 (*.vcf)"},
    {"日志（Markdown，每天一个文件）", nullptr},          {"知识库（Markdown，每篇一个文件）", nullptr},
    {"任务、目标、联系人、财务记录（CSV）", nullptr},
};

QString filterOf(int row)
{
    return kKinds[row].filter ? QString::fromUtf8(kKinds[row].filter) : Shell::kFolder;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw Db::Error(QStringLiteral("无法写入文件“%1”：%2").arg(path, f.errorString()));
}
} // namespace

DlogExchange::DlogExchange(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("DlogExchange"));
    setWindowTitle(QStringLiteral("导入与导出"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    for (int i = 0; i < kRows; ++i) {
        auto* caption = new QLabel(QString::fromUtf8(kKinds[i].caption), this);
        caption->setObjectName(QStringLiteral("Caption%1").arg(i + 1));
        Export[i] = new QPushButton(QStringLiteral("导出…"), this);
        Export[i]->setObjectName(QStringLiteral("Export%1").arg(i + 1));
        Import[i] = new QPushButton(QStringLiteral("导入…"), this);
        Import[i]->setObjectName(QStringLiteral("Import%1").arg(i + 1));
        for (QPushButton* b : {Export[i], Import[i]}) {
            b->setAutoDefault(false);
            b->setMinimumWidth(90);
        }
        grid->addWidget(caption, i, 0);
        grid->addWidget(Export[i], i, 1);
        grid->addWidget(Import[i], i, 2);
        connect(Export[i], &QPushButton::clicked, this, [this, i] { exportRow(i); });
        connect(Import[i], &QPushButton::clicked, this, [this, i] { importRow(i); });
    }
    // The diary and the lists go out only.
    Import[2]->setEnabled(false);
    Import[2]->setToolTip(QStringLiteral("日志可导出为 Markdown；导入请使用知识库一行"));
    Import[4]->setEnabled(false);
    Import[4]->setToolTip(QStringLiteral("CSV 仅用于导出到电子表格"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumHeight(40);
    Command1 = new QPushButton(QStringLiteral("关闭"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    grid->addWidget(Label1, kRows, 0, 1, 3);
    grid->addWidget(Command1, kRows + 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(kRows, 1);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
}

void DlogExchange::Form_Load()
{
    resize(sizeHint().expandedTo(QSize(520, 300)));
    WindowPlace::besideFrame(this);
}

bool DlogExchange::withProgress(const QString& label,
                                const std::function<void(const std::function<bool(int, int)>&)>& work)
{
    QProgressDialog progress(label, QStringLiteral("取消"), 0, 100, this);
    progress.setObjectName(QStringLiteral("ExchangeProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setMinimumDuration(400);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setValue(0);
    bool cancelled = false;
    work([&](int done, int total) {
        progress.setMaximum(std::max(total, 1));
        progress.setValue(std::min(done, std::max(total, 1)));
        QApplication::processEvents();
        cancelled = progress.wasCanceled();
        return !cancelled;
    });
    return !cancelled;
}

void DlogExchange::exportRow(int row)
{
    const QString path = Shell::saveFileName(this, filterOf(row));
    if (path.isEmpty())
        return;
    QString done;
    bool finished = true;
    const bool ok = Db::run([&] {
        try {
            finished = withProgress(QStringLiteral("正在导出…"), [&](const Exchange::Progress& progress) {
                switch (row) {
                case 0:
                    writeBytes(path, Exchange::exportTasks(progress));
                    break;
                case 1:
                    writeBytes(path, Exchange::exportContacts(progress));
                    break;
                case 2:
                    QDir().mkpath(path);
                    done = QStringLiteral("已导出 %1 篇日志").arg(Exchange::exportDiary(path, progress));
                    return;
                case 3:
                    QDir().mkpath(path);
                    done = QStringLiteral("已导出 %1 篇知识").arg(Exchange::exportKnowledge(path, progress));
                    return;
                case 4: {
                    QDir().mkpath(path);
                    const QDir dir(path);
                    writeBytes(dir.filePath(QStringLiteral("任务.csv")), Exchange::csvTasks());
                    writeBytes(dir.filePath(QStringLiteral("目标.csv")), Exchange::csvGoals());
                    writeBytes(dir.filePath(QStringLiteral("联系人.csv")), Exchange::csvContacts());
                    writeBytes(dir.filePath(QStringLiteral("财务记录.csv")), Exchange::csvFinance());
                    done = QStringLiteral("已导出 4 个 CSV 文件");
                    return;
                }
                }
                done = QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path));
            });
        } catch (const Exchange::Cancelled&) {
            finished = false;
        }
    });
    if (!ok)
        return;
    const QString text = finished ? done : QStringLiteral("导出已取消");
    Label1->setText(text);
    MsgBox(text);
}

void DlogExchange::importRow(int row)
{
    const QString path = Shell::openFileName(this, filterOf(row));
    if (path.isEmpty())
        return;
    Exchange::Summary summary;
    const bool ok = Db::run([&] {
        if (row == 0 || row == 1) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                throw Db::Error(QStringLiteral("无法读取文件“%1”：%2").arg(path, f.errorString()));
            const QByteArray bytes = f.readAll();
            withProgress(QStringLiteral("正在导入…"), [&](const Exchange::Progress& progress) {
                summary = row == 0 ? Exchange::importTasks(bytes, progress) : Exchange::importContacts(bytes, progress);
            });
        } else if (row == 3) {
            withProgress(QStringLiteral("正在导入…"), [&](const Exchange::Progress& progress) {
                summary = Exchange::importKnowledge(path, progress);
            });
        }
    });
    if (!ok)
        return;
    const QString text = summary.cancelled          ? QStringLiteral("导入已取消，数据没有改变")
                         : !summary.error.isEmpty() ? summary.error
                                                    : summary.text();
    Label1->setText(text);
    if (!summary.cancelled && summary.error.isEmpty() && summary.added + summary.updated > 0)
        Changes::announce(row == 0   ? Changes::Kinds(Changes::Tasks)
                          : row == 1 ? Changes::Kinds(Changes::Contacts)
                                     : Changes::Kinds(Changes::Knowledge),
                          this);
    MsgBox(text);
}
