#include "views/backup/dlogbackup.h"

#include "data/backup.h"
#include "data/db.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/backup/backuprunner.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {
QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
    return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

QString database()
{
    return Db::path();
}

QString folder()
{
    return Backup::folderFor(Db::path());
}
} // namespace

Dlogbackup::Dlogbackup(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("数据备份与恢复"));

    ListView1 =
        Gui::reportList(this, QStringLiteral("ListView1"),
                        {{QStringLiteral("日期"), 110}, {QStringLiteral("时间"), 90}, {QStringLiteral("大小"), 90}});
    ListView1->setMinimumSize(340, 240);
    ListView1->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);

    Command1 = new QPushButton(QStringLiteral("立即备份"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("恢复所选备份"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("导出副本…"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("关闭"), this);
    Command4->setObjectName(QStringLiteral("Command4"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::RichText);
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label1->setWordWrap(true);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->setMinimumWidth(120);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    Command4->setAutoDefault(false);
    buttons->addWidget(Command4);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(ListView1, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(Label2, 1, 0, 1, 2);
    grid->addWidget(Label1, 2, 0, 1, 2);
    grid->setRowStretch(0, 1);

    connect(Command1, &QPushButton::clicked, this, &Dlogbackup::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogbackup::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Dlogbackup::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &QWidget::close);
    connect(Label1, &QLabel::linkActivated, this, &Dlogbackup::Label1_LinkActivated);
    connect(&BackupRunner::instance(), &BackupRunner::busyChanged, this, &Dlogbackup::showBusy);
}

void Dlogbackup::Form_Load()
{
    const QString shown = QDir::toNativeSeparators(folder());
    Label1->setText(QStringLiteral("备份文件夹：<a href=\"folder\">%1</a>").arg(shown.toHtmlEscaped()));
    BfList();
    showBusy(BackupRunner::instance().busy());
    resize(sizeHint().expandedTo(QSize(560, 360)));
    WindowPlace::besideFrame(this);
}

void Dlogbackup::BfList(const QString& select)
{
    ListView1->clear();
    const QList<Backup::Copy> copies = Backup::list(folder());
    for (const Backup::Copy& c : copies) {
        auto* row = new QTreeWidgetItem(ListView1);
        row->setData(0, Qt::UserRole, c.path);
        row->setText(0, QFileInfo(c.path).fileName());
        row->setText(1, Gui::day(c.day));
        row->setText(2, Gui::time(c.written.time()));
        row->setText(3, sizeText(c.size));
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        row->setToolTip(1, QDir::toNativeSeparators(c.path));
        if (!select.isEmpty() && c.path == select)
            ListView1->setCurrentItem(row);
    }
    if (!ListView1->currentItem() && ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
    if (copies.isEmpty() && busyText_.isEmpty())
        Label2->setText(QStringLiteral("还没有备份。"));
}

void Dlogbackup::showBusy(bool busy)
{
    for (QPushButton* b : {Command1, Command2, Command3})
        b->setEnabled(!busy);
    if (busy)
        Label2->setText(busyText_.isEmpty() ? QStringLiteral("正在备份…") : busyText_);
    else if (!busyText_.isEmpty()) {
        busyText_.clear();
        Label2->clear();
    }
}

void Dlogbackup::Command1_Click()
{
    const QString db = database();
    const QString into = folder();
    const QDateTime now = Clock::now();
    QPointer<Dlogbackup> self(this);
    busyText_ = QStringLiteral("正在备份…");
    const bool started = BackupRunner::instance().start(
        [db, into, now] {
            const QString copy = Backup::makeCopy(db, into, now);
            Backup::rotate(into, now.date());
            return copy;
        },
        [self](bool ok, const QString& text) {
            if (!ok) {
                MsgBox(QStringLiteral("备份没有完成：\n%1").arg(text));
                return;
            }
            if (!self)
                return;
            self->BfList(text);
            self->Label2->setText(QStringLiteral("备份完成，已通过检查：%1").arg(QFileInfo(text).fileName()));
        });
    if (!started)
        busyText_.clear();
}

void Dlogbackup::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要恢复的备份。"));
        return;
    }
    const QString copy = row->data(0, Qt::UserRole).toString();
    if (MsgBox(QStringLiteral("恢复后，当前数据将被所选备份替换（当前数据会先另存为备份）。确定恢复吗？"),
               QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;

    const QString db = database();
    const QString into = folder();
    const QDateTime now = Clock::now();
    auto prepared = std::make_shared<Backup::PreparedRestore>();
    QPointer<Dlogbackup> self(this);
    busyText_ = QStringLiteral("正在准备恢复…");
    const bool started = BackupRunner::instance().start(
        [copy, db, into, now, prepared] {
            *prepared = Backup::prepareRestore(copy, db, into, now);
            return prepared->safety;
        },
        [self, prepared](bool ok, const QString& text) {
            if (!ok) {
                MsgBox(text);
                if (self)
                    self->BfList();
                return;
            }
            BackupRunner::restartWith([prepared] {
                Backup::completeRestore(*prepared, Db::path());
                return QStringLiteral("数据已恢复，请重新登录。\n恢复前的数据已另存为备份：%1")
                    .arg(QDir::toNativeSeparators(prepared->safety));
            });
        });
    if (!started)
        busyText_.clear();
}

void Dlogbackup::Command3_Click()
{
    QString target = Shell::saveFileName(this, QStringLiteral("数据库副本 (*.dc)"));
    if (target.isEmpty())
        return;
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".dc");
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(database()).absoluteFilePath()
        || Backup::isSameFile(target, database())) {
        MsgBox(QStringLiteral("不能把副本导出到数据库文件本身，请换一个文件名。"));
        return;
    }
    const QString db = database();
    QPointer<Dlogbackup> self(this);
    busyText_ = QStringLiteral("正在导出副本…");
    const bool started = BackupRunner::instance().start(
        [db, target] {
            Backup::exportCopy(db, target);
            return target;
        },
        [self](bool ok, const QString& text) {
            if (!ok) {
                MsgBox(QStringLiteral("导出没有完成：\n%1").arg(text));
                return;
            }
            if (self)
                self->Label2->setText(QStringLiteral("副本已导出：%1").arg(QDir::toNativeSeparators(text)));
        });
    if (!started)
        busyText_.clear();
}

void Dlogbackup::Label1_LinkActivated()
{
    QDir().mkpath(folder());
    Shell::openUrl(QUrl::fromLocalFile(folder()));
}
