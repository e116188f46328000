#include "testsupport.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/contacts/dlogaddrjxx.h"
#include "views/contacts/dlogmodrjxx.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QString kView = QStringLiteral("Frmrj");
const QString kChoose = QStringLiteral("请先在联系人列表中选择一个联系人！");
const QString kQuoted = QStringLiteral("O'Neil \"老王\" 100%_");

template <class T = QTreeWidget>
T* ctl(const QString& name, const QString& window = kView)
{
    return control<T>(window, name);
}

[[nodiscard]] bool press(const QString& name, const QString& window = kView)
{
    return click(ctl<QPushButton>(name, window));
}

void type(const QString& name, const QString& text, const QString& window = kView)
{
    ctl<QLineEdit>(name, window)->setText(text);
}

// Logs in on the sample data and opens the contacts view; the messages of the login are dropped.
void openView(ProgramRun& run)
{
    QVERIFY(run.login());
    find<MDIfrm>(u"MDIfrm"_s)->showView(Views::kContacts);
    settle();
    QVERIFY(shown(kView));
    run.messages.clear();
}

QTreeWidget* contacts()
{
    return ctl(u"ListView1"_s);
}

QList<qint64> idsOf(const QTreeWidget* list)
{
    QList<qint64> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0).toLongLong();
    return ids;
}

int rowOf(const QTreeWidget* list, qint64 id)
{
    return int(idsOf(list).indexOf(id));
}

void selectContact(qint64 id)
{
    const int row = rowOf(contacts(), id);
    QVERIFY2(row >= 0, "contact not listed");
    QVERIFY(clickRow(contacts(), row));
}

void showTab(const QString& caption)
{
    auto* tabs = ctl<QTabWidget>(u"SSTab1"_s);
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == caption)
            tabs->setCurrentIndex(i);
    }
}

void choose(QComboBox* combo, const QString& text)
{
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

QList<qint64> ids(const ProgramRun& run, const QString& sql, const QVariantList& values = {})
{
    QList<qint64> list;
    QSqlQuery q = run.query(sql, values);
    while (q.next())
        list << q.value(0).toLongLong();
    return list;
}

qint64 lastId(const ProgramRun& run, const QString& table)
{
    return run.scalar(QStringLiteral("SELECT max(id) FROM %1").arg(table)).toLongLong();
}
} // namespace

class ContactsTest : public QObject
{
    Q_OBJECT

private slots:
    void listsIconsAndOrder();
    void fieldSearch_data();
    void fieldSearch();
    void addContact_data();
    void addContact();
    void deletedContactKeepsItsNotes();
    void contactActionsNeedASelection_data();
    void contactActionsNeedASelection();
    void modifyContact();
    void notesByKind();
    void noteSearch_data();
    void noteSearch();
    void addNote_data();
    void addNote();
    void editNote();
    void noteDialogsNeedTheirSelection();
    void editChecksTheCurrentTab();
    void deleteNote();
    void categories();
    void helpLinks();
};

void ContactsTest::listsIconsAndOrder()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Categories 6 and 7 come after the five of the sample; contacts of the sixth, the seventh,
    // none and a deleted category show icon 6.
    run.exec(u"INSERT INTO gxlb (id, gxlb) VALUES (6, '邻居'), (7, '网友')"_s);
    run.exec(u"INSERT INTO renji (id, name, title, leibie) VALUES (20, '阿六', 'x', 6), (21, '阿七', 'y', 7),"
             " (22, '阿零', 'z', 0), (23, '阿九', 'w', 99)"_s);
    openView(run);

    const QList<qint64> byName = ids(run, u"SELECT id FROM renji ORDER BY name, id"_s);
    QCOMPARE(idsOf(contacts()), byName);
    const QList<QPair<qint64, int>> icons = {{1, 1},  {3, 2},  {8, 3},  {7, 4}, {5, 5},
                                             {20, 6}, {21, 6}, {22, 6}, {23, 6}};
    for (const auto& [id, icon] : icons)
        QCOMPARE(contacts()->topLevelItem(rowOf(contacts(), id))->data(1, Qt::UserRole).toInt(), icon);

    // "全部" lists in table order, a category its contacts.
    auto* filter = ctl<QComboBox>(u"Combo1"_s);
    QCOMPARE(filter->count(), 8);
    choose(filter, u"同学"_s);
    QCOMPARE(idsOf(contacts()), (QList<qint64>{5, 6}));
    choose(filter, u"全部"_s);
    QCOMPARE(idsOf(contacts()), ids(run, u"SELECT id FROM renji ORDER BY id"_s));
    QVERIFY(idsOf(contacts()) != byName);

    // Adding a contact lists everyone by name again.
    QVERIFY(press(u"Command2"_s));
    QVERIFY(shown(u"Dlogaddrj"_s));
    type(u"Text2"_s, u"艾新"_s, u"Dlogaddrj"_s);
    QVERIFY(press(u"Command1"_s, u"Dlogaddrj"_s));
    settle();
    QVERIFY(!shown(u"Dlogaddrj"_s));
    QCOMPARE(idsOf(contacts()), ids(run, u"SELECT id FROM renji ORDER BY name, id"_s));
}

void ContactsTest::fieldSearch_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("found");
    QTest::newRow("relation 同") << "关系名称"
                                 << "同" << QList<qint64>{2, 6};
    QTest::newRow("name") << "姓    名"
                          << "晓" << QList<qint64>{2};
    QTest::newRow("address") << "联系地址"
                             << "云杉路" << QList<qint64>{3, 4};
    QTest::newRow("mobile") << "手    机"
                            << "1380" << QList<qint64>{1};
    QTest::newRow("email") << "email"
                           << "HEJF" << QList<qint64>{5};
    QTest::newRow("messenger") << "即时通讯"
                               << "sun" << QList<qint64>{4};
    QTest::newRow("phone") << "联系电话"
                           << "021-" << QList<qint64>{3, 4};
    QTest::newRow("quote") << "姓    名"
                           << "'" << QList<qint64>{30};
    QTest::newRow("percent is no wildcard") << "姓    名"
                                            << "%_" << QList<qint64>{30};
    QTest::newRow("underscore is no wildcard") << "关系名称"
                                               << "_" << QList<qint64>{};
    QTest::newRow("nothing") << "姓    名"
                             << "不存在" << QList<qint64>{};
}

void ContactsTest::fieldSearch()
{
    QFETCH(QString, field);
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, found);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO renji (id, name, title) VALUES (30, ?, '')"_s, {kQuoted});
    openView(run);
    choose(ctl<QComboBox>(u"Combo2"_s), field);
    type(u"Text1"_s, keyword);
    QVERIFY(press(u"Command1"_s));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(idsOf(contacts()), found);

    // An empty keyword is refused and leaves the list alone.
    type(u"Text1"_s, u""_s);
    QVERIFY(press(u"Command1"_s));
    QCOMPARE(run.messages, QStringList{u"请输入要搜索的关键字！"_s});
    QCOMPARE(idsOf(contacts()), found);
}

void ContactsTest::addContact_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("female");
    QTest::addColumn<QString>("storedRelation");
    QTest::addColumn<qint64>("storedCategory");
    QTest::addColumn<int>("icon");
    QTest::newRow("no relation, no category") << ""
                                              << "无类别" << false << "无关系名称" << qint64(0) << 6;
    QTest::newRow("quotes, friend") << kQuoted << "朋友" << true << kQuoted << qint64(3) << 3;
}

void ContactsTest::addContact()
{
    QFETCH(QString, relation);
    QFETCH(QString, category);
    QFETCH(bool, female);
    QFETCH(QString, storedRelation);
    QFETCH(qint64, storedCategory);
    QFETCH(int, icon);
    ProgramRun run;
    openView(run);
    QVERIFY(press(u"Command2"_s));
    const QString d = u"Dlogaddrj"_s;
    QVERIFY(ctl<QRadioButton>(u"Option1"_s, d)->isChecked());
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s, d)->currentText(), QStringLiteral("无类别"));
    const QStringList boxes = {u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Text5"_s, u"Text6"_s, u"Text8"_s, u"Text9"_s};
    for (const QString& box : boxes)
        type(box, kQuoted + box, d);
    type(u"Text7"_s, relation, d);
    choose(ctl<QComboBox>(u"Combo1"_s, d), category);
    if (female)
        ctl<QRadioButton>(u"Option2"_s, d)->setChecked(true);
    QVERIFY(press(u"Command1"_s, d));
    settle();

    const qint64 id = lastId(run, u"renji"_s);
    QSqlQuery q = run.query(
        u"SELECT name, tel, mob, \"add\", zip, email, msn, title, leibie, sex FROM renji WHERE id = ?"_s, {id});
    QVERIFY(q.next());
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(q.value(i).toString(), kQuoted + boxes[i]);
    QCOMPARE(q.value(7).toString(), storedRelation);
    QCOMPARE(q.value(8).toLongLong(), storedCategory);
    QCOMPARE(q.value(9).toInt(), female ? 1 : 0);

    const int row = rowOf(contacts(), id);
    QVERIFY(row >= 0);
    QCOMPARE(contacts()->topLevelItem(row)->data(1, Qt::UserRole).toInt(), icon);
    QCOMPARE(contacts()->topLevelItem(row)->text(2), storedRelation);
    // The details show every field as stored.
    selectContact(id);
    QCOMPARE(ctl<QLineEdit>(u"Text5"_s)->text(), kQuoted + u"Text5"_s);
    QCOMPARE(ctl<QRadioButton>(u"Option2"_s)->isChecked(), female);
}

void ContactsTest::deletedContactKeepsItsNotes()
{
    ProgramRun run;
    openView(run);
    const QList<qint64> notes = ids(run, u"SELECT id FROM rjxx WHERE renji = 1 ORDER BY id"_s);
    QVERIFY(!notes.isEmpty());
    const QString name = run.scalar(u"SELECT name FROM renji WHERE id = 1"_s).toString();
    selectContact(1);
    QVERIFY(press(u"Command3"_s));
    // The question names the notes that are no longer shown.
    QCOMPARE(run.messages,
             QStringList{QStringLiteral("删除联系人“%1”？其 %2 条资料将随之不再显示。").arg(name).arg(notes.size())});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renji WHERE id = 1"_s).toInt(), 0);
    QCOMPARE(ids(run, u"SELECT id FROM rjxx WHERE renji = 1 ORDER BY id"_s), notes);
    QCOMPARE(rowOf(contacts(), 1), -1);
    QVERIFY(ctl<QLineEdit>(u"Text2"_s)->text().isEmpty());
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItemCount() + ctl(u"ListView3"_s)->topLevelItemCount(), 0);

    // New contacts never take the deleted one's id, so its notes show for nobody.
    for (int i = 0; i < 2; ++i) {
        QVERIFY(press(u"Command2"_s));
        type(u"Text2"_s, QStringLiteral("新人%1").arg(i), u"Dlogaddrj"_s);
        QVERIFY(press(u"Command1"_s, u"Dlogaddrj"_s));
        settle();
        const qint64 id = lastId(run, u"renji"_s);
        QVERIFY(id > 9);
        selectContact(id);
        for (const QString& list : {u"ListView2"_s, u"ListView3"_s, u"ListView4"_s})
            QCOMPARE(ctl(list)->topLevelItemCount(), 0);
    }
}

void ContactsTest::contactActionsNeedASelection_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<QString>("message");
    QTest::newRow("modify, empty") << "Command11" << true << "还没有可供修改的联系人信息！";
    QTest::newRow("modify, none chosen") << "Command11" << false << kChoose;
    QTest::newRow("delete, empty") << "Command3" << true << "没有可删除的人际关系！";
    QTest::newRow("delete, none chosen") << "Command3" << false << kChoose;
    QTest::newRow("add note, none chosen") << "Command8" << false << kChoose;
    QTest::newRow("note search, none chosen") << "Command5" << false << kChoose;
}

void ContactsTest::contactActionsNeedASelection()
{
    QFETCH(QString, button);
    QFETCH(bool, emptyList);
    QFETCH(QString, message);
    ProgramRun run;
    openView(run);
    if (emptyList) {
        type(u"Text1"_s, u"没有这个人"_s);
        QVERIFY(press(u"Command1"_s));
        QCOMPARE(contacts()->topLevelItemCount(), 0);
    }
    const QString before = run.scalar(u"SELECT group_concat(name || title || leibie, '|') FROM renji"_s).toString();
    type(u"Text2"_s, u"改名"_s);
    QVERIFY(press(button));
    settle();
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renji"_s).toInt(), 9);
    QCOMPARE(run.scalar(u"SELECT group_concat(name || title || leibie, '|') FROM renji"_s).toString(), before);
    QVERIFY(!shown(u"Dlogaddrjxx"_s));
}

void ContactsTest::modifyContact()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Contact 9 belongs to a category deleted since: changing its phone keeps that category.
    run.exec(u"UPDATE renji SET leibie = 42 WHERE id = 9"_s);
    openView(run);
    selectContact(3);
    QCOMPARE(ctl<QComboBox>(u"Combo3"_s)->currentText(), QStringLiteral("客户"));
    selectContact(9);
    type(u"Text3"_s, u"010-1"_s);
    QVERIFY(press(u"Command11"_s));
    QCOMPARE(run.messages, QStringList{u"修改完成！"_s});
    QCOMPARE(run.scalar(u"SELECT leibie FROM renji WHERE id = 9"_s).toLongLong(), 42);
    QCOMPARE(run.scalar(u"SELECT tel FROM renji WHERE id = 9"_s).toString(), QStringLiteral("010-1"));

    // Every field is written; the list keeps its text until it is refilled.
    selectContact(1);
    type(u"Text2"_s, kQuoted);
    type(u"Text7"_s, u"老领导"_s);
    type(u"Text9"_s, u"msn'"_s);
    ctl<QRadioButton>(u"Option2"_s)->setChecked(true);
    choose(ctl<QComboBox>(u"Combo3"_s), u"未选择"_s);
    QVERIFY(press(u"Command11"_s));
    QSqlQuery q = run.query(u"SELECT name, title, msn, sex, leibie FROM renji WHERE id = 1"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kQuoted);
    QCOMPARE(q.value(1).toString(), QStringLiteral("老领导"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("msn'"));
    QCOMPARE(q.value(3).toInt(), 1);
    QCOMPARE(q.value(4).toInt(), 0);
    QCOMPARE(contacts()->topLevelItem(rowOf(contacts(), 1))->text(1), QStringLiteral("周海涛"));
}

void ContactsTest::notesByKind()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Older kinds read as the first and third tab; an unknown kind shows nowhere.
    run.exec(u"INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES"
             " (50, 2, '旧资料', '', '资料', '2008-05-01'), (51, 2, '旧行动', '', '行动', '2008-05-02'),"
             " (52, 2, '其他', '', '备忘', '2008-05-03')"_s);
    openView(run);
    selectContact(2);
    QCOMPARE(idsOf(ctl(u"ListView2"_s)), (QList<qint64>{50}));
    QCOMPARE(idsOf(ctl(u"ListView3"_s)), (QList<qint64>{4}));
    QCOMPARE(idsOf(ctl(u"ListView4"_s)), (QList<qint64>{51}));
    QCOMPARE(ctl(u"ListView4"_s)->topLevelItem(0)->text(1), QStringLiteral("旧行动"));
    QCOMPARE(ctl(u"ListView4"_s)->topLevelItem(0)->text(2), QStringLiteral("2008-5-2"));
}

void ContactsTest::noteSearch_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("shown");
    QTest::newRow("title") << "汇报" << QList<qint64>{2};
    QTest::newRow("content") << "邮件" << QList<qint64>{1};
    QTest::newRow("only in another contact's note") << "郑主管" << QList<qint64>{};
    QTest::newRow("or does not leak") << "拜年" << QList<qint64>{};
    QTest::newRow("quote") << "'s" << QList<qint64>{60};
    QTest::newRow("empty lists all") << "" << QList<qint64>{1, 60, 2, 3};
}

void ContactsTest::noteSearch()
{
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, shown);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO rjxx (id, renji, title, content, type1) VALUES (60, 1, 'Tom''s note', '', '补充资料')"_s);
    openView(run);
    selectContact(1);
    type(u"Text10"_s, keyword);
    QVERIFY(press(u"Command5"_s));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(idsOf(ctl(u"ListView2"_s)) + idsOf(ctl(u"ListView3"_s)) + idsOf(ctl(u"ListView4"_s)), shown);
}

void ContactsTest::addNote_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("storedContent");
    QTest::addColumn<QString>("list");
    QTest::newRow("contact record") << "联系记录"
                                    << "电话"
                                    << "谈了合同"
                                    << "谈了合同"
                                    << "ListView3";
    QTest::newRow("empty text") << "补充资料"
                                << "生日"
                                << ""
                                << "暂无内容"
                                << "ListView2";
    QTest::newRow("quotes") << "行动计划" << kQuoted << kQuoted << kQuoted << "ListView4";
}

void ContactsTest::addNote()
{
    QFETCH(QString, tab);
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(QString, storedContent);
    QFETCH(QString, list);
    ProgramRun run;
    openView(run);
    selectContact(8);
    showTab(tab);
    QVERIFY(press(u"Command8"_s));
    const QString d = u"Dlogaddrjxx"_s;
    QVERIFY(shown(d));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s, d)->currentText(), tab);
    const int before = run.scalar(u"SELECT count(*) FROM rjxx"_s).toInt();

    // A title is required.
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, d)->setPlainText(content);
    QVERIFY(press(u"Command1"_s, d));
    QCOMPARE(run.messages, QStringList{u"必须输入标题！"_s});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM rjxx"_s).toInt(), before);

    type(u"Text1"_s, title, d);
    QVERIFY(press(u"Command1"_s, d));
    settle();
    QVERIFY(!shown(d));
    const qint64 id = lastId(run, u"rjxx"_s);
    QSqlQuery q = run.query(u"SELECT renji, title, content, type1, addtime FROM rjxx WHERE id = ?"_s, {id});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(), 8);
    QCOMPARE(q.value(1).toString(), title);
    QCOMPARE(q.value(2).toString(), storedContent);
    QCOMPARE(q.value(3).toString(), tab);
    QCOMPARE(q.value(4).toString(), QStringLiteral("2009-01-31"));
    QVERIFY(rowOf(ctl(list), id) >= 0);
}

void ContactsTest::editNote()
{
    ProgramRun run;
    openView(run);
    selectContact(3);
    showTab(u"行动计划"_s);
    QVERIFY(clickRow(ctl(u"ListView4"_s), 0, 1, true)); // note 7
    const QString d = u"Dlogmodrjxx"_s;
    QVERIFY(shown(d));
    QCOMPARE(ctl<QLineEdit>(u"Text1"_s, d)->text(), QStringLiteral("节后上门拜访"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s, d)->currentText(), QStringLiteral("行动计划"));

    // Choosing another note meanwhile does not redirect the save.
    showTab(u"补充资料"_s);
    QVERIFY(clickRow(ctl(u"ListView2"_s), 0)); // note 5
    type(u"Text1"_s, kQuoted, d);
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, d)->clear();
    QVERIFY(press(u"Command1"_s, d));
    settle();
    QVERIFY(!shown(d));
    QSqlQuery q = run.query(u"SELECT title, content, type1 FROM rjxx WHERE id = 7"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kQuoted);
    QCOMPARE(q.value(1).toString(), QStringLiteral("暂无内容"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("行动计划"));
    QCOMPARE(run.scalar(u"SELECT title FROM rjxx WHERE id = 5"_s).toString(), QStringLiteral("郑主管的采购周期"));
    QCOMPARE(ctl(u"ListView4"_s)->topLevelItem(0)->text(1), kQuoted);
}

void ContactsTest::noteDialogsNeedTheirSelection()
{
    ProgramRun run;
    openView(run);
    selectContact(8);
    QVERIFY(press(u"Command8"_s));
    const QString d = u"Dlogaddrjxx"_s;
    QVERIFY(shown(d));
    const int before = run.scalar(u"SELECT count(*) FROM rjxx"_s).toInt();

    // The contact is deleted while the dialog is open (its notes' question answered Yes): the note
    // has nobody to go to.
    QVERIFY(press(u"Command3"_s));
    run.messages.clear();
    type(u"Text1"_s, u"约饭"_s, d);
    QVERIFY(press(u"Command1"_s, d));
    settle();
    QCOMPARE(run.messages, QStringList{kChoose});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM rjxx"_s).toInt(), before);
    QVERIFY(shown(d));
    find<QWidget>(d)->close();
    settle();

    // Without the contacts view neither dialog opens.
    find<MDIfrm>(u"MDIfrm"_s)->showView(Views::kToday);
    settle();
    run.messages.clear();
    QVERIFY(!Forms::show<Dlogaddrjxx>());
    QVERIFY(!Forms::show<Dlogmodrjxx>());
    settle();
    QCOMPARE(run.messages, (QStringList{kChoose, u"请先在列表中选择要编辑的信息！"_s}));
    QVERIFY(!shown(d));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM rjxx"_s).toInt(), before);
}

void ContactsTest::editChecksTheCurrentTab()
{
    ProgramRun run;
    openView(run);
    // Contact 6 has an action plan only; contact 7 supplementary information and a record.
    selectContact(6);
    showTab(u"行动计划"_s);
    QVERIFY(press(u"Command9"_s));
    settle();
    QCOMPARE(run.messages, QStringList{u"请先在列表中选择要编辑的信息！"_s});
    QVERIFY(!shown(u"Dlogmodrjxx"_s));
    QVERIFY(clickRow(ctl(u"ListView4"_s), 0));
    QVERIFY(press(u"Command9"_s));
    QVERIFY(shown(u"Dlogmodrjxx"_s));
    find<QWidget>(u"Dlogmodrjxx"_s)->close();
    settle();

    selectContact(7);
    showTab(u"行动计划"_s);
    run.messages.clear();
    QVERIFY(press(u"Command9"_s));
    QCOMPARE(run.messages, QStringList{u"没有可以删除的信息！"_s});
    QVERIFY(!shown(u"Dlogmodrjxx"_s));
}

void ContactsTest::deleteNote()
{
    ProgramRun run;
    openView(run);
    selectContact(7);
    showTab(u"行动计划"_s);
    QVERIFY(press(u"Command10"_s));
    QCOMPARE(run.messages, QStringList{u"没有可删除的行动计划！"_s});
    showTab(u"联系记录"_s);
    run.messages.clear();
    QVERIFY(press(u"Command10"_s));
    QCOMPARE(run.messages, QStringList{u"请先选择要删除的联系记录！"_s});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM rjxx WHERE renji = 7"_s).toInt(), 2);
    run.messages.clear();
    QVERIFY(clickRow(ctl(u"ListView3"_s), 0));
    QVERIFY(press(u"Command10"_s));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(ids(run, u"SELECT id FROM rjxx WHERE renji = 7"_s), (QList<qint64>{12}));
    QCOMPARE(ctl(u"ListView3"_s)->topLevelItemCount(), 0);
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItemCount(), 1);
}

void ContactsTest::categories()
{
    ProgramRun run;
    openView(run);
    const QString contactsBefore = run.scalar(u"SELECT group_concat(id || leibie, '|') FROM renji"_s).toString();
    QVERIFY(press(u"Command4"_s));
    const QString d = u"Dlogaddgxlb"_s;
    QVERIFY(shown(d));
    QTreeWidget* list = ctl(u"ListView1"_s, d);
    QCOMPARE(list->topLevelItemCount(), 5);

    // Rename and delete need a chosen row; an add needs a name.
    QVERIFY(press(u"Command2"_s, d));
    QVERIFY(press(u"Command3"_s, d));
    QVERIFY(press(u"Command1"_s, d));
    QCOMPARE(run.messages, (QStringList{u"请先选择要修改的关系类别！"_s, u"请先选择要删除的关系类别！"_s,
                                        u"请输入关系类别名称！"_s}));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM gxlb"_s).toInt(), 5);

    QVERIFY(clickRow(list, 0));
    QCOMPARE(ctl<QLineEdit>(u"Text1"_s, d)->text(), QStringLiteral("同事"));
    // A category keeps a name: renaming to nothing is refused like adding nothing.
    run.messages.clear();
    type(u"Text1"_s, u""_s, d);
    QVERIFY(press(u"Command2"_s, d));
    QCOMPARE(run.messages, QStringList{u"请输入关系类别名称！"_s});
    QCOMPARE(run.scalar(u"SELECT gxlb FROM gxlb WHERE id = 1"_s).toString(), QStringLiteral("同事"));
    type(u"Text1"_s, kQuoted, d);
    QVERIFY(press(u"Command2"_s, d));
    QCOMPARE(run.scalar(u"SELECT gxlb FROM gxlb WHERE id = 1"_s).toString(), kQuoted);
    QCOMPARE(list->topLevelItem(0)->text(1), kQuoted);
    type(u"Text1"_s, u"邻居"_s, d);
    QVERIFY(press(u"Command1"_s, d));
    QCOMPARE(list->topLevelItemCount(), 6);
    QVERIFY(ctl<QLineEdit>(u"Text1"_s, d)->text().isEmpty());
    QVERIFY(clickRow(list, 1));
    QVERIFY(press(u"Command3"_s, d));
    QCOMPARE(ids(run, u"SELECT id FROM gxlb ORDER BY id"_s), (QList<qint64>{1, 3, 4, 5, 6}));
    QCOMPARE(run.scalar(u"SELECT group_concat(id || leibie, '|') FROM renji"_s).toString(), contactsBefore);

    // The view's choices change only when it is loaded again.
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->itemText(1), QStringLiteral("同事"));
    QCOMPARE(ctl<QComboBox>(u"Combo3"_s)->count(), 6);
    find<MDIfrm>(u"MDIfrm"_s)->showView(Views::kContacts);
    settle();
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->itemText(1), kQuoted);
    QCOMPARE(ctl<QComboBox>(u"Combo3"_s)->findText(u"邻居"_s), 5);
    QCOMPARE(ctl<QComboBox>(u"Combo3"_s)->findText(u"客户"_s), -1);
}

void ContactsTest::helpLinks()
{
    ProgramRun run;
    openView(run);
    QTest::mouseClick(ctl<QLabel>(u"Label11"_s), Qt::LeftButton);
    QTest::mouseClick(ctl<QLabel>(u"Label13"_s), Qt::LeftButton);
    QCOMPARE(run.openedUrls.size(), 2);
    QVERIFY(run.openedUrls[0].toString().endsWith(u"/shuoming/12.asp"_s));
    QVERIFY(run.openedUrls[1].toString().endsWith(u"/shuoming/10.asp"_s));
}

QTEST_MAIN(ContactsTest)
#include "test_contacts.moc"
