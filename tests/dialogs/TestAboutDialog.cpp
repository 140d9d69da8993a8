#include "MessageBoxWatch.h"

#include "app/GlyphlockApp.h"
#include "password/SymbolSetDialog.h"
#include "widgets/AboutDialog.h"
#include "widgets/HyperLink.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

QPushButton* button(AboutDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

HyperLink* link(AboutDialog& dialog, const char* name)
{
    return dialog.findChild<HyperLink*>(QLatin1String(name));
}

QString describe(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text().left(30);
    return control->objectName();
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void everyTextAsWritten()
    {
        AboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Glyphlock"));
        QCOMPARE(button(dialog, "okButton")->text(), QStringLiteral("OK"));
        QVERIFY(button(dialog, "okButton")->isDefault());
        QCOMPARE(button(dialog, "configButton")->text(), QStringLiteral("&Config..."));

        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
            groups << group->title();
        QCOMPARE(groups, QStringList({"Usage", "Tips"}));

        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                texts << label->text();
        }
        const QStringList expected{
            "Glyphlock Version 2.4",
            "Copyright (C) Tamsk",
            "Tamsk (glyphlock@example.com)",
            "https://www.example.com/glyphlock",
            "Drag the border of the window to resize the matrix.",
            "Click right or left mouse button on the icons to change them. There are some icons "
            "to be chosen if you click more than one time.",
            "Different matrix of the icons will generate totally different passwords long and "
            "secure enough when you press the OK button. \r\nIf you want to exit with out doing "
            "anything, just click the close button at the top-right corner of the window.",
            "You can design your own icons in the image to make it easier to remember.",
            "To add new icons, place the GIF or JPG files named g.gif(g.jpg), h.gif(h.jpg) ..., "
            "to the folder of the program.",
            "To replace the 6 build-in icons, just place GIF or JPG files  named from a.gif(a.jpg) "
            "to f.gif(f.jpg) in the same folder with the program. If both the GIF and JPG files "
            "with the same name exist, the GIF file is used preferentially.",
            "WARNING: If you change the file name of an icon, the generated password may not "
            "correspond to the original image you have remembered before.",
            " You'd better setup an icon set before you generate passwords and keep use it "
            "constantly. Of course, just adding new icons is safe. And it will enhance the "
            "security.",
        };
        QCOMPARE(texts, expected);
    }

    // The common desktop fonts differ in height and width: Noto Sans is taller, Cantarell
    // narrower than DejaVu Sans. A font the machine lacks is substituted, which still tests a
    // layout under some other font.
    void textsFitAndNothingOverlaps_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        for (const char* family : {"DejaVu Sans", "Noto Sans", "Cantarell"}) {
            for (int pointSize : {9, 10, 11})
                QTest::addRow("%s %d", family, pointSize)
                    << QString::fromLatin1(family) << pointSize;
        }
    }

    void textsFitAndNothingOverlaps()
    {
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        const QFont previous = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(previous); });
        QApplication::setFont(QFont(family, pointSize));
        AboutDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QList<QWidget*> controls;
        for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<QGroupBox*>(child))
                continue;
            controls << child;
            QVERIFY2(dialog.rect().contains(child->geometry()), qPrintable(child->objectName()));
            if (auto* label = qobject_cast<QLabel*>(child); label && label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                         qPrintable(label->text()));
            }
        }
        for (int i = 0; i < controls.size(); ++i) {
            for (int j = i + 1; j < controls.size(); ++j) {
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(describe(controls[i]) + " / " + describe(controls[j])));
            }
        }
    }

    void linksShowTheMakerAndOpenTheirTargets()
    {
        AboutDialog dialog;
        HyperLink* mail = link(dialog, "mailLink");
        HyperLink* web = link(dialog, "webLink");
        QCOMPARE(mail->target(), QStringLiteral("mailto:glyphlock@example.com"));
        QCOMPARE(mail->toolTip(), mail->target());
        QCOMPARE(web->target(), web->text());
        QCOMPARE(web->toolTip(), web->target());
        for (HyperLink* each : {mail, web}) {
            QCOMPARE(each->underlineMode(), int(HyperLink::underlineOnHover));
            // Fitted to the text, so only the words themselves react to the mouse.
            QCOMPARE(each->width(), QFontMetrics(each->font()).size(0, each->text()).width());
        }
    }

    void tabReachesTheLinksInTheirPlace()
    {
        AboutDialog dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), button(dialog, "okButton"));
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"mailLink", "webLink", "configButton", "okButton"}));
    }

    void configOpensOnTopAndAboutStaysOpen()
    {
        AboutDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const bool opened = inspectModalDuring(
            [&] { QTest::mouseClick(button(dialog, "configButton"), Qt::LeftButton); },
            [&](QDialog* config) {
                QVERIFY(qobject_cast<SymbolSetDialog*>(config));
                QCOMPARE(config->parentWidget(), &dialog);
                QVERIFY(dialog.isVisible());
            });
        QVERIFY(opened);
        QVERIFY(dialog.isVisible());
    }

    void okAndEscapeClose()
    {
        AboutDialog viaOk;
        viaOk.show();
        QTest::mouseClick(button(viaOk, "okButton"), Qt::LeftButton);
        QVERIFY(!viaOk.isVisible());
        QCOMPARE(viaOk.result(), int(QDialog::Accepted));

        AboutDialog viaEscape;
        viaEscape.show();
        QVERIFY(QTest::qWaitForWindowActive(&viaEscape));
        QTest::keyClick(&viaEscape, Qt::Key_Escape);
        QVERIFY(!viaEscape.isVisible());
        QCOMPARE(viaEscape.result(), int(QDialog::Rejected));
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    GlyphlockApp app(argc, argv);
    TestAboutDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestAboutDialog.moc"
