#pragma once

#include <QObject>

// Writers announce, readers refill: the window that changed data says so here once its change
// is stored, and every open window showing that kind of data refills itself from the signal.
// `origin` is the announcing window, so a view that already shows its own change (a row it
// updated in place) can leave its list as it is.
class Changes : public QObject
{
    Q_OBJECT

public:
    enum Kind {
        Tasks = 0x01,
        Goals = 0x02,
        Themes = 0x04,
        Diary = 0x08,
        Statements = 0x10,
        Knowledge = 0x20,
        Contacts = 0x40,
        Finance = 0x80,
    };
    Q_DECLARE_FLAGS(Kinds, Kind)

    static Changes& instance();

    // Emits the signal of every kind named. Each receiver refills as its own action: an error
    // while refilling is reported there and does not reach the announcing action.
    static void announce(Kinds kinds, QObject* origin = nullptr);

signals:
    void tasksChanged(QObject* origin);
    void goalsChanged(QObject* origin);
    void themesChanged(QObject* origin);
    void diaryChanged(QObject* origin);
    void statementsChanged(QObject* origin);
    void knowledgeChanged(QObject* origin);
    void contactsChanged(QObject* origin);
    void financeChanged(QObject* origin);

private:
    Changes() = default;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Changes::Kinds)
