#include <QTest>

class PopupTest : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(PopupTest)
#include "test_popup.moc"
