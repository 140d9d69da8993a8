// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MessageBoxWatch.h"

#include "app/GlyphlockApp.h"
#include "matrix/AboutDialog.h"
#include "password/SymbolSetDialog.h"
#include "support/IsolatedTest.h"
#include "widgets/DialogUnits.h"
#include "widgets/HyperLink.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
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

// Every control of `container` lies inside it, next to the others without overlapping, and a
// wrapped text has the height its lines need.
void checkPlacement(QWidget* container)
{
    QList<QWidget*> controls;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox*>(child))
            continue;
        controls << child;
        QVERIFY2(container->rect().contains(child->geometry()), qPrintable(describe(child)));
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

// The application font for one test.
struct FontGuard
{
    FontGuard(const QString& family, int pointSize)
    {
        QApplication::setFont(QFont(family, pointSize));
    }
    ~FontGuard() { QApplication::setFont(previous); }
    const QFont previous = QApplication::font();
};

// A window on the named screen, to own the box as the main window does.
struct Owner : QWidget
{
    explicit Owner(const QString& name)
    {
        for (QScreen* each : QGuiApplication::screens()) {
            if (each->name() == name)
                setScreen(each);
        }
        setGeometry(QRect(screen()->availableGeometry().center(), QSize(300, 200)));
        show();
    }
};

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
            for (int pointSize : {9, 10, 11}) {
                // Not addRow("%s %d"): g++ -O3 takes the unrolled family for a null %s.
                const QByteArray name = QByteArray(family) + ' ' + QByteArray::number(pointSize);
                QTest::newRow(name.constData()) << QString::fromLatin1(family) << pointSize;
            }
        }
    }

    void textsFitAndNothingOverlaps()
    {
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        const FontGuard font(family, pointSize);
        Owner owner("large");
        AboutDialog dialog(&owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        checkPlacement(&dialog);
        auto* tips = dialog.findChild<QScrollArea*>(QStringLiteral("tipsArea"));
        QVERIFY(tips);
        checkPlacement(tips->widget());
    }

    // A laptop's 1366 x 768 screen at 125 % scaling leaves 1093 x 614 pixels, less than the
    // box is tall: the tips then scroll. Where the box fits, it is laid out as designed.
    void fitsTheScreenAndTheTipsScroll_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        for (const char* screen : {"large", "laptop", "netbook"}) {
            QTest::addRow("%s, DejaVu Sans 9", screen) << screen << "DejaVu Sans" << 9;
            QTest::addRow("%s, Noto Sans 10", screen) << screen << "Noto Sans" << 10;
            QTest::addRow("%s, Cantarell 11", screen) << screen << "Cantarell" << 11;
        }
    }

    void fitsTheScreenAndTheTipsScroll()
    {
        QFETCH(QString, screen);
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        const FontGuard font(family, pointSize);
        Owner owner(screen);
        AboutDialog dialog(&owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        const QRect available = owner.screen()->availableGeometry();
        QVERIFY2(available.contains(dialog.frameGeometry()),
                 qPrintable(QStringLiteral("%5,%6 %1 x %2 in %3 x %4")
                                .arg(dialog.frameGeometry().width())
                                .arg(dialog.frameGeometry().height())
                                .arg(available.width())
                                .arg(available.height())
                                .arg(dialog.frameGeometry().x() - available.x())
                                .arg(dialog.frameGeometry().y())));
        auto* tips = dialog.findChild<QScrollArea*>(QStringLiteral("tipsArea"));
        QVERIFY(tips);
        const DialogUnits units(dialog.font());
        const QSize designed(units.x(246), units.y(383));
        const bool room = designed.height() + dialog.frameGeometry().height() - dialog.height() <=
                          available.height();
        QCOMPARE(tips->verticalScrollBar()->isVisible(), !room);
        if (room)
            QCOMPARE(dialog.size(), designed);
        checkPlacement(&dialog);
        checkPlacement(tips->widget());

        // Each tip can be scrolled into full view.
        for (QLabel* tip : tips->widget()->findChildren<QLabel*>()) {
            tips->ensureWidgetVisible(tip, 0, 0);
            const QRect seen(tip->mapTo(tips->viewport(), QPoint(0, 0)), tip->size());
            QVERIFY2(tips->viewport()->rect().contains(seen), qPrintable(describe(tip)));
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
    UserFoldersInTemp folders;
    // Screens of known sizes: a large one, 1366 x 768 at 125 % and a 1024 x 600 netbook.
    QFile screens(folders.configPath() + QStringLiteral("/screens.json"));
    if (!screens.open(QIODevice::WriteOnly) || screens.write(R"({"screens": [
            {"name": "large", "x": 0, "y": 0, "width": 1920, "height": 1200, "logicalDpi": 96},
            {"name": "laptop", "x": 1920, "y": 0, "width": 1093, "height": 614, "logicalDpi": 96},
            {"name": "netbook", "x": 3013, "y": 0, "width": 1024, "height": 600, "logicalDpi": 96}
        ]})") < 0)
        return 1;
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    GlyphlockApp app(argc, argv);
    TestAboutDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestAboutDialog.moc"
