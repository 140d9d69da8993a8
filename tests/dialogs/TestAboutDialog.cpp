#include <QTest>
class TestAboutDialog : public QObject { Q_OBJECT };
QTEST_MAIN(TestAboutDialog)
#include "TestAboutDialog.moc"
