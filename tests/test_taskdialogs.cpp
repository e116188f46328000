#include <QTest>

class TaskdialogsTest : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TaskdialogsTest)
#include "test_taskdialogs.moc"
