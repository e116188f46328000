#include "views/contacts/frmrj.h"

#include "data/contacts.h"
#include "data/db.h"
#include "data/dependants.h"
#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"
#include "views/contacts/dlogaddgxlb.h"
#include "views/contacts/dlogaddrj.h"
#include "views/contacts/dlogaddrjxx.h"
#include "views/contacts/dlogmodrjxx.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
using Gui::button;
using Gui::LinkLabel;

const QString kSupplement = QStringLiteral("补充资料");
const QString kRecord = QStringLiteral("联系记录");
const QString kPlan = QStringLiteral("行动计划");
// The role of the name column keeping the number of the category icon.
constexpr int kImageRole = Qt::UserRole;
const QString kChooseContact = QStringLiteral("请先在联系人列表中选择一个联系人！");

// The search fields of Combo2 and the columns they look in.
struct SearchField
{
    const char* text;
    Contacts::Field field;
};
const SearchField kSearchFields[] = {
    {"姓    名", Contacts::Field::Name}, {"关系名称", Contacts::Field::Title},   {"联系电话", Contacts::Field::Tel},
    {"手    机", Contacts::Field::Mob},  {"联系地址", Contacts::Field::Address}, {"email", Contacts::Field::Email},
    {"即时通讯", Contacts::Field::Msn},
};

// The six category icons, each read once.
QIcon categoryIcon(int image)
{
    static QIcon icons[6];
    const int i = std::clamp(image, 1, 6) - 1;
    if (icons[i].isNull())
        icons[i] = QIcon(QStringLiteral(":/icons/contacts_category%1.svg").arg(i + 1));
    return icons[i];
}

// A row of the contact list. It answers its texts and its category icon from what it keeps,
// which spares each row of a long list the storing of every cell apart. Rows are never edited.
class ContactRow : public QTreeWidgetItem
{
public:
    ContactRow(const Contacts::Listed& c, int image)
        : QTreeWidgetItem(QTreeWidgetItem::UserType), id_(c.id), name_(c.name), title_(c.title), image_(image)
    {}

    QVariant data(int column, int role) const override
    {
        if (role == Qt::DisplayRole) {
            switch (column) {
            case 0:
                return QString::number(id_);
            case 1:
                return name_;
            case 2:
                return title_;
            default:
                return QVariant();
            }
        }
        if (column == 1 && role == Qt::DecorationRole)
            return categoryIcon(image_);
        if (column == 1 && role == kImageRole)
            return image_;
        return QTreeWidgetItem::data(column, role);
    }

private:
    qint64 id_;
    QString name_;
    QString title_;
    int image_;
};

QLineEdit* lineEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

// A combo box entry's item data as an id (0 when none is chosen).
qint64 chosenId(const QComboBox* combo)
{
    return combo->currentIndex() < 0 ? 0 : combo->currentData().toLongLong();
}

} // namespace

Frmrj::Frmrj(QWidget* parent) : QWidget(parent)
{
    buildControls();
    Deletion::installShortcut(this);
    connect(&Changes::instance(), &Changes::contactsChanged, this, &Frmrj::contactsChanged);
}

void Frmrj::buildControls()
{
    // The contact list with its filter, search and buttons.
    Frame1 = new QGroupBox(QStringLiteral("我的人际关系"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    ListView1 = Gui::reportList(Frame1, QStringLiteral("ListView1"),
                                {{QStringLiteral("好友姓名"), Gui::hundredthsMm(2540) + 24},
                                 {QStringLiteral("关系名称"), Gui::hundredthsMm(2540)}});
    Combo2 = new QComboBox(Frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Text1 = lineEdit(Frame1, QStringLiteral("Text1"));
    Command1 = button(Frame1, QStringLiteral("Command1"), QStringLiteral("搜索"));
    Command2 = button(Frame1, QStringLiteral("Command2"), QStringLiteral("增加"));
    Command3 = button(Frame1, QStringLiteral("Command3"), QStringLiteral("删除"));
    Command4 = button(Frame1, QStringLiteral("Command4"), QStringLiteral("管理类别"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(Gui::fieldLabel(QStringLiteral("关系类别："), Combo1));
    filterRow->addWidget(Combo1, 1);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(Combo2);
    searchRow->addWidget(Text1, 1);
    searchRow->addWidget(Command1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(Command2);
    listButtons->addWidget(Command3);
    listButtons->addStretch();
    listButtons->addWidget(Command4);
    auto* frame1Layout = new QVBoxLayout(Frame1);
    frame1Layout->addLayout(filterRow);
    frame1Layout->addWidget(ListView1, 1);
    frame1Layout->addLayout(searchRow);
    frame1Layout->addLayout(listButtons);
    Frame1->setFixedWidth(Gui::hundredthsMm(2540) * 2 + 24 + 60);

    // The details of the selected contact.
    auto* link11 = new LinkLabel(QStringLiteral("了解一个人的66项重要信息"), this);
    link11->onClick = [this] { Label11_Click(); };
    Label11 = link11;
    Label11->setObjectName(QStringLiteral("Label11"));
    auto* link13 = new LinkLabel(QStringLiteral("如何利用软件对人际关系进行管理？"), this);
    link13->onClick = [this] { Label13_Click(); };
    Label13 = link13;
    Label13->setObjectName(QStringLiteral("Label13"));

    Frame3 = new QGroupBox(QStringLiteral("重要信息"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Text2 = lineEdit(Frame3, QStringLiteral("Text2"));
    Text3 = lineEdit(Frame3, QStringLiteral("Text3"));
    Text4 = lineEdit(Frame3, QStringLiteral("Text4"));
    Text5 = lineEdit(Frame3, QStringLiteral("Text5"));
    Text6 = lineEdit(Frame3, QStringLiteral("Text6"));
    Text7 = lineEdit(Frame3, QStringLiteral("Text7"));
    Text8 = lineEdit(Frame3, QStringLiteral("Text8"));
    Text9 = lineEdit(Frame3, QStringLiteral("Text9"));
    Option1 = new QRadioButton(QStringLiteral("男"), Frame3);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("女"), Frame3);
    Option2->setObjectName(QStringLiteral("Option2"));
    auto* sexGroup = new QButtonGroup(Frame3);
    sexGroup->addButton(Option1);
    sexGroup->addButton(Option2);
    Option1->setChecked(true);
    Combo3 = new QComboBox(Frame3);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Command11 = button(Frame3, QStringLiteral("Command11"), QStringLiteral("修改"));

    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(Option1);
    sexRow->addWidget(Option2);
    sexRow->addStretch();
    auto* details = new QGridLayout(Frame3);
    details->setHorizontalSpacing(8);
    details->setVerticalSpacing(6);
    details->addWidget(Gui::fieldLabel(QStringLiteral("姓    名："), Text2), 0, 0);
    details->addWidget(Text2, 0, 1);
    details->addWidget(Gui::fieldLabel(QStringLiteral("性    别："), Option1), 0, 2);
    details->addLayout(sexRow, 0, 3);
    details->addWidget(Gui::fieldLabel(QStringLiteral("关系名称："), Text7), 1, 0);
    details->addWidget(Text7, 1, 1);
    details->addWidget(Gui::fieldLabel(QStringLiteral("关系类别："), Combo3), 1, 2);
    details->addWidget(Combo3, 1, 3);
    details->addWidget(Gui::fieldLabel(QStringLiteral("联系电话："), Text3), 2, 0);
    details->addWidget(Text3, 2, 1);
    details->addWidget(Gui::fieldLabel(QStringLiteral("手    机："), Text4), 2, 2);
    details->addWidget(Text4, 2, 3);
    details->addWidget(Gui::fieldLabel(QStringLiteral("电子邮件："), Text8), 3, 0);
    details->addWidget(Text8, 3, 1);
    details->addWidget(Gui::fieldLabel(QStringLiteral("聊天工具："), Text9), 3, 2);
    details->addWidget(Text9, 3, 3);
    details->addWidget(Gui::fieldLabel(QStringLiteral("联系地址："), Text5), 4, 0);
    details->addWidget(Text5, 4, 1);
    details->addWidget(Gui::fieldLabel(QStringLiteral("邮政编码："), Text6), 4, 2);
    details->addWidget(Text6, 4, 3);
    details->addWidget(Label13, 5, 0, 1, 3, Qt::AlignLeft | Qt::AlignVCenter);
    details->addWidget(Command11, 5, 3, Qt::AlignRight);
    details->setColumnStretch(1, 3);
    details->setColumnStretch(3, 2);

    // The notes of the selected contact.
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    ListView2 = Gui::reportList(
        SSTab1, QStringLiteral("ListView2"),
        {{QStringLiteral("标题"), Gui::hundredthsMm(8820)}, {QStringLiteral("添加日期"), Gui::hundredthsMm(2540)}});
    ListView3 = Gui::reportList(SSTab1, QStringLiteral("ListView3"),
                                {{QStringLiteral("联系记录标题"), Gui::hundredthsMm(7056)},
                                 {QStringLiteral("登记时间"), Gui::hundredthsMm(2540)}});
    ListView4 = Gui::reportList(SSTab1, QStringLiteral("ListView4"),
                                {{QStringLiteral("行动计划标题"), Gui::hundredthsMm(8819)},
                                 {QStringLiteral("登记时间"), Gui::hundredthsMm(2540)}});
    SSTab1->addTab(ListView2, kSupplement);
    SSTab1->addTab(ListView3, kRecord);
    SSTab1->addTab(ListView4, kPlan);

    Command8 = button(this, QStringLiteral("Command8"), QStringLiteral("增加"));
    Command9 = button(this, QStringLiteral("Command9"), QStringLiteral("编辑"));
    Command10 = button(this, QStringLiteral("Command10"), QStringLiteral("删除"));
    Text10 = lineEdit(this, QStringLiteral("Text10"));
    Label12 = Gui::fieldLabel(QStringLiteral("重要信息搜索："), Text10);
    Label12->setObjectName(QStringLiteral("Label12"));
    Command5 = button(this, QStringLiteral("Command5"), QStringLiteral("开始搜索"));

    hint = new QLabel(QStringLiteral("提示：补充资料可以参照已出版的一份清单，逐条记下对方的重要信息："), this);
    hint->setObjectName(QStringLiteral("hint"));
    auto* noteButtons = new QHBoxLayout;
    noteButtons->addWidget(Command8);
    noteButtons->addWidget(Command9);
    noteButtons->addWidget(Command10);
    noteButtons->addStretch();
    noteButtons->addWidget(Label12);
    noteButtons->addWidget(Text10);
    noteButtons->addWidget(Command5);
    Text10->setMinimumWidth(160);
    auto* links = new QHBoxLayout;
    links->addWidget(hint);
    links->addWidget(Label11);
    links->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Frame3);
    right->addWidget(SSTab1, 1);
    right->addLayout(noteButtons);
    right->addLayout(links);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(12);
    root->addWidget(Frame1);
    root->addLayout(right, 1);

    connect(Combo1, &QComboBox::activated, this, &Frmrj::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &Frmrj::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &Frmrj::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmrj::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmrj::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmrj::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Frmrj::Command5_Click);
    connect(Text10, &QLineEdit::returnPressed, this, &Frmrj::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &Frmrj::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Frmrj::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Frmrj::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Frmrj::Command11_Click);
    connect(ListView1, &QTreeWidget::itemClicked, this, &Frmrj::ListView1_ItemClick);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmrj::ListView1_SelectionChanged);
    for (QTreeWidget* notes : {ListView2, ListView3, ListView4})
        connect(notes, &QTreeWidget::itemDoubleClicked, this, &Frmrj::NoteList_DblClick);
}

void Frmrj::Form_Load()
{
    Combo1->clear();
    Combo3->clear();
    Combo1->addItem(QStringLiteral("全部"), 0);
    Combo3->addItem(QStringLiteral("未选择"), 0);
    iconCategories_.clear();
    Db::run([&] {
        const QList<Contacts::Category> categories = Contacts::categories();
        for (const Contacts::Category& c : categories) {
            Combo1->addItem(c.name, c.id);
            Combo3->addItem(c.name, c.id);
            // Icons 1 to 5 belong to the first five categories; every other contact shows icon 6.
            if (iconCategories_.size() < 5)
                iconCategories_.append(c.id);
        }
    });
    Combo1->setCurrentIndex(0);
    Combo3->setCurrentIndex(0);
    Combo2->clear();
    for (const SearchField& f : kSearchFields)
        Combo2->addItem(QString::fromUtf8(f.text));
    Combo2->setCurrentIndex(0);
    RjList();
    ListView2->clear();
}

int Frmrj::iconOf(qint64 leibie) const
{
    const qsizetype i = iconCategories_.indexOf(leibie);
    return i < 0 ? 6 : int(i) + 1;
}

void Frmrj::RjList()
{
    const auto contacts = Db::get([] { return Contacts::byName(); });
    showContacts(contacts.value_or(QList<Contacts::Listed>()));
}

void Frmrj::showContacts(const QList<Contacts::Listed>& contacts)
{
    const qint64 selected = selectedContactId();
    QTreeWidgetItem* keep = nullptr;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(contacts.size());
    for (const Contacts::Listed& c : contacts) {
        auto* row = new ContactRow(c, iconOf(c.category));
        if (c.id == selected)
            keep = row;
        rows.append(row);
    }
    {
        const QSignalBlocker quiet(ListView1);
        ListView1->setUpdatesEnabled(false);
        ListView1->clear();
        ListView1->insertTopLevelItems(0, rows);
        if (keep) {
            ListView1->setCurrentItem(keep);
            keep->setSelected(true);
        }
        ListView1->setUpdatesEnabled(true);
    }
    // Details and notes belong to a contact in the list, or to none.
    if (!keep && shownContact_ != 0)
        clearContact();
}

void Frmrj::clearContact()
{
    shownContact_ = 0;
    for (QLineEdit* box : {Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9})
        box->clear();
    ListView2->clear();
    ListView3->clear();
    ListView4->clear();
}

void Frmrj::FillDate(const QString& keyword)
{
    const qint64 contact = selectedContactId();
    ListView2->clear();
    ListView3->clear();
    ListView4->clear();
    if (contact == 0)
        return;
    const auto notes = Db::get([&] { return Contacts::notesOf(contact, keyword); });
    if (!notes)
        return;
    QList<QTreeWidgetItem*> rows[3];
    for (const Contacts::Note& n : *notes) {
        int list = -1;
        if (n.kind == kSupplement || n.kind == QStringLiteral("资料"))
            list = 0;
        else if (n.kind == kRecord)
            list = 1;
        else if (n.kind == kPlan || n.kind == QStringLiteral("行动"))
            list = 2;
        if (list < 0)
            continue; // a kind of no tab
        rows[list].append(new QTreeWidgetItem(QStringList{QString::number(n.id), n.title, Gui::day(n.day)}));
    }
    ListView2->insertTopLevelItems(0, rows[0]);
    ListView3->insertTopLevelItems(0, rows[1]);
    ListView4->insertTopLevelItems(0, rows[2]);
}

qint64 Frmrj::selectedContactId() const
{
    return Gui::selectedId(ListView1);
}

QString Frmrj::noteKind() const
{
    return SSTab1->tabText(SSTab1->currentIndex());
}

QTreeWidget* Frmrj::currentNoteList() const
{
    const QString kind = noteKind();
    if (kind == kRecord)
        return ListView3;
    if (kind == kPlan)
        return ListView4;
    return ListView2;
}

qint64 Frmrj::selectedNoteId() const
{
    return Gui::selectedId(currentNoteList());
}

void Frmrj::Combo1_Click()
{
    if (!settleEdits())
        return;
    const qint64 category = chosenId(Combo1);
    const auto contacts = Db::get([&] { return category != 0 ? Contacts::ofCategory(category) : Contacts::all(); });
    if (contacts)
        showContacts(*contacts);
}

void Frmrj::Command1_Click()
{
    const QString keyword = Text1->text();
    if (keyword.isEmpty()) {
        MsgBox(QStringLiteral("请输入要搜索的关键字！"));
        Text1->setFocus();
        return;
    }
    Contacts::Field field = Contacts::Field::Name;
    for (const SearchField& f : kSearchFields) {
        if (Combo2->currentText() == QString::fromUtf8(f.text))
            field = f.field;
    }
    if (!settleEdits())
        return;
    const auto contacts = Db::get([&] { return Contacts::search(field, keyword); });
    if (contacts)
        showContacts(*contacts);
}

void Frmrj::Command2_Click()
{
    Forms::show<Dlogaddrj>();
}

void Frmrj::Command3_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可删除的人际关系！"));
        return;
    }
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(kChooseContact);
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([id] { return Dependants::notesOfContact(id); });
    if (!with)
        return;
    // The notes stay stored under the contact but are no longer shown: say so first.
    if (with->count > 0
        && !Deletion::confirm(
            QStringLiteral("删除联系人“%1”？其 %2 条资料将随之不再显示。").arg(with->name).arg(with->count)))
        return;
    if (!Db::run([id] { Contacts::removeContact(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
    }
    clearContact();
    Deletion::done(this, this);
}

void Frmrj::Command4_Click()
{
    Forms::show<Dlogaddgxlb>();
}

void Frmrj::Command5_Click()
{
    if (selectedContactId() == 0) {
        MsgBox(kChooseContact);
        return;
    }
    FillDate(Text10->text());
}

void Frmrj::Command8_Click()
{
    if (selectedContactId() == 0) {
        MsgBox(kChooseContact);
        return;
    }
    Forms::show<Dlogaddrjxx>();
}

void Frmrj::Command9_Click()
{
    if (currentNoteList()->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可以删除的信息！"));
        return;
    }
    Forms::show<Dlogmodrjxx>();
}

void Frmrj::Command10_Click()
{
    QTreeWidget* list = currentNoteList();
    if (list->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可删除的%1！").arg(noteKind()));
        return;
    }
    QTreeWidgetItem* row = Gui::selectedRow(list);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要删除的%1！").arg(noteKind()));
        return;
    }
    if (!Db::run([id = Gui::rowId(row)] { Contacts::removeNote(id); }))
        return;
    {
        const QSignalBlocker quiet(list);
        delete row;
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
    Deletion::done(this, this);
}

void Frmrj::Command11_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("还没有可供修改的联系人信息！"));
        return;
    }
    const qint64 id = selectedContactId();
    if (id == 0) {
        MsgBox(kChooseContact);
        return;
    }
    if (!saveDetails())
        return;
    MsgDone(QStringLiteral("修改完成！"));
}

bool Frmrj::saveDetails()
{
    // The details belong to the contact they were loaded from.
    const qint64 id = shownContact_ != 0 ? shownContact_ : selectedContactId();
    const bool saved = Db::run([&] {
        std::optional<Contacts::Contact> c = Contacts::contact(id);
        if (!c)
            return;
        c->title = Text7->text();
        c->name = Text2->text();
        c->sex = Option1->isChecked() ? 0 : 1;
        c->tel = Text3->text();
        c->mob = Text4->text();
        c->address = Text5->text();
        c->zip = Text6->text();
        c->email = Text8->text();
        c->msn = Text9->text();
        // A category that is no longer offered (blank choice) stays as stored.
        if (Combo3->currentIndex() >= 0)
            c->category = chosenId(Combo3);
        Contacts::updateContact(*c);
    });
    if (!saved)
        return false;
    shownFields_ = fieldsNow();
    // The list keeps the old name and relation until its next refill.
    Changes::announce(Changes::Contacts, this);
    return true;
}

QStringList Frmrj::fieldsNow() const
{
    QStringList fields;
    for (const QLineEdit* box : {Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9})
        fields << box->text();
    fields << QString::number(Option1->isChecked()) << QString::number(Combo3->currentIndex());
    return fields;
}

bool Frmrj::detailsEdited() const
{
    return shownContact_ != 0 && fieldsNow() != shownFields_;
}

bool Frmrj::settleEdits(bool canStay)
{
    if (!detailsEdited())
        return true;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (canStay)
        buttons |= QMessageBox::Cancel;
    const QMessageBox::StandardButton answer = MsgBox(QStringLiteral("是否保存对联系人的修改？"), buttons);
    if (answer == QMessageBox::Yes)
        return saveDetails() || !canStay;
    if (answer == QMessageBox::No || !canStay) {
        shownFields_ = fieldsNow(); // let go: asked once
        return true;
    }
    return false;
}

void Frmrj::reselectShown()
{
    const QSignalBlocker quiet(ListView1);
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ListView1->topLevelItem(i);
        if (Gui::rowId(row) == shownContact_) {
            ListView1->setCurrentItem(row);
            row->setSelected(true);
            return;
        }
    }
}

void Frmrj::hideEvent(QHideEvent* event)
{
    // Leaving the view keeps or lets go of changed details; minimising the frame leaves them.
    if (!event->spontaneous())
        settleEdits(false);
    QWidget::hideEvent(event);
}

void Frmrj::ListView1_ItemClick(QTreeWidgetItem* item)
{
    // A row the user chose to leave unselected (取消) stays so; a click on the contact being
    // edited keeps what is typed.
    const qint64 id = Gui::rowId(item);
    if (!item->isSelected() || (id == shownContact_ && detailsEdited()))
        return;
    if (id != shownContact_ && !settleEdits()) {
        reselectShown();
        return;
    }
    showContact(id);
}

void Frmrj::ListView1_SelectionChanged()
{
    // Moving the selection with the keyboard shows the contact as a click does.
    const qint64 id = selectedContactId();
    if (id == 0 || id == shownContact_)
        return;
    if (!settleEdits()) {
        reselectShown();
        return;
    }
    showContact(id);
}

void Frmrj::showContact(qint64 id)
{
    if (id == 0)
        return;
    const auto found = Db::get([id] { return Contacts::contact(id); });
    if (!found)
        return;
    if (!*found) {
        clearContact();
        return;
    }
    const Contacts::Contact& c = **found;
    shownContact_ = c.id;
    Text7->setText(c.title);
    Text2->setText(c.name);
    Text3->setText(c.tel);
    Text4->setText(c.mob);
    Text5->setText(c.address);
    Text6->setText(c.zip);
    Text8->setText(c.email);
    Text9->setText(c.msn);
    (c.sex == 0 ? Option1 : Option2)->setChecked(true);
    // A category no longer offered leaves the choice blank, so that "修改" keeps it.
    Combo3->setCurrentIndex(Combo3->findData(c.category));
    shownFields_ = fieldsNow();
    FillDate();
}

void Frmrj::NoteList_DblClick()
{
    Command9_Click();
}

void Frmrj::Label11_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/12.asp"))));
}

void Frmrj::Label13_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/10.asp"))));
}

void Frmrj::contactsChanged(QObject* origin)
{
    // This view shows its own changes in place. A new contact refills the list; a note added or
    // edited refills the notes. Category changes show at the next load of the view, with its
    // choices and icons.
    if (origin == this || qobject_cast<Dlogaddgxlb*>(origin))
        return;
    if (qobject_cast<Dlogaddrjxx*>(origin) || qobject_cast<Dlogmodrjxx*>(origin)) {
        FillDate();
        return;
    }
    RjList();
    FillDate();
}
