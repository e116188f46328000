#include <QTest>

class TodayTest : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TodayTest)
#include "test_today.moc"
