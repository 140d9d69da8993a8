// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MessageBoxWatch.h"

#include "widgets/HyperLink.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

const QColor kBlue(0, 0, 238);
const QColor kPurple(85, 26, 139);
const QColor kRed(255, 0, 0);

QColor drawnColour(const HyperLink& link)
{
    return link.palette().color(QPalette::WindowText);
}

int noDesktopNoBrowser(const QString& target)
{
    return HyperLink::openTarget(target, [](const QUrl&) { return HyperLink::kNoAssociation; }, {});
}

// A stand-in browser that writes each argument it gets on a line of `out`.
QString writeArgumentRecorder(const QTemporaryDir& dir, const QString& out)
{
    const QString path = dir.filePath(QStringLiteral("recorder"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                 out.toLocal8Bit() + ".part'\nmv '" + out.toLocal8Bit() + ".part' '" +
                 out.toLocal8Bit() + "'\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    return path;
}

// A stand-in program in `dir` named `name`: a shell script with the given body.
QString writeScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body)
{
    const QString path = dir.filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\n" + body);
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    return path;
}

// Sets an environment variable for one test.
struct EnvironmentGuard
{
    EnvironmentGuard(const char* name, const QByteArray& value)
        : name(name), previous(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentGuard()
    {
        if (wasSet)
            qputenv(name, previous);
        else
            qunsetenv(name);
    }
    const char* name;
    QByteArray previous;
    bool wasSet;
};

} // namespace

class TestHyperLink : public QObject
{
    Q_OBJECT

private slots:
    void errorTextForEveryCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("2") << 2 << "The specified file was not found.";
        QTest::newRow("3") << 3 << "The specified path was not found.";
        QTest::newRow("5") << 5 << "The operating system denied\naccess to the specified file.";
        QTest::newRow("8") << 8 << "There was not enough memory to complete the operation.";
        QTest::newRow("11") << 11
                            << "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        QTest::newRow("26 keeps its trailing space") << 26 << "A sharing violation occurred. ";
        QTest::newRow("27") << 27 << "The filename association is\nincomplete or invalid.";
        QTest::newRow("28") << 28
                            << "The DDE transaction could not\nbe completed because the request "
                               "timed out.";
        QTest::newRow("29") << 29 << "The DDE transaction failed.";
        QTest::newRow("30") << 30
                            << "The DDE transaction could not\nbe completed because other DDE "
                               "transactions\nwere being processed.";
        QTest::newRow("31") << 31
                            << "There is no application associated\nwith the given filename "
                               "extension.";
        QTest::newRow("32") << 32 << "The specified dynamic-link library was not found.";
        QTest::newRow("1 has no text") << 1 << "Unknown Error (1) occurred.";
        QTest::newRow("4 has no text") << 4 << "Unknown Error (4) occurred.";
        QTest::newRow("33 is no failure") << 33 << "Unknown Error (33) occurred.";
        QTest::newRow("negative") << -7 << "Unknown Error (-7) occurred.";
        QTest::newRow("large") << 2147483647 << "Unknown Error (2147483647) occurred.";
    }

    void errorTextForEveryCode()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(HyperLink::openErrorText(code), text);
    }

    void targetAndTextStandInForEachOther()
    {
        HyperLink ownText(QStringLiteral("https://a.example.org/"));
        QCOMPARE(ownText.target(), QStringLiteral("https://a.example.org/"));
        QCOMPARE(ownText.toolTip(), QStringLiteral("https://a.example.org/"));

        HyperLink noText(QString(), QStringLiteral("mailto:x@example.org"));
        QCOMPARE(noText.text(), QStringLiteral("mailto:x@example.org"));

        HyperLink link(QStringLiteral("Write to us"));
        link.setTarget(QStringLiteral("mailto:us@example.org"));
        QCOMPARE(link.text(), QStringLiteral("Write to us"));
        QCOMPARE(link.toolTip(), QStringLiteral("mailto:us@example.org"));
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    }

    void hoverColoursAndUnderline_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("underlinedAtRest");
        QTest::addColumn<bool>("underlinedHot");
        QTest::newRow("on hover") << int(HyperLink::underlineOnHover) << false << true;
        QTest::newRow("always") << int(HyperLink::underlineAlways) << true << true;
        QTest::newRow("never") << int(HyperLink::underlineNever) << false << false;
        QTest::newRow("other values mean never") << 7 << false << false;
    }

    void hoverColoursAndUnderline()
    {
        QFETCH(int, mode);
        QFETCH(bool, underlinedAtRest);
        QFETCH(bool, underlinedHot);

        QWidget window;
        window.resize(300, 100);
        auto* link = new HyperLink(QStringLiteral("Link"), QString(), &window);
        link->setGeometry(20, 20, 200, 30);
        link->setUnderlineMode(mode);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint away = window.mapToGlobal(QPoint(290, 90));
        QCursor::setPos(away);
        QTRY_VERIFY(!link->isHot());
        QCOMPARE(link->font().underline(), underlinedAtRest);

        for (bool followed : {false, true}) {
            link->setFollowed(followed);
            QCOMPARE(drawnColour(*link), followed ? kPurple : kBlue);

            QTest::mouseMove(link, QPoint(5, 5));
            QVERIFY(link->isHot());
            QCOMPARE(drawnColour(*link), kRed);
            QCOMPARE(link->font().underline(), underlinedHot);

            QCursor::setPos(away);
            QTRY_VERIFY_WITH_TIMEOUT(!link->isHot(), 2000);
            QCOMPARE(drawnColour(*link), followed ? kPurple : kBlue);
            QCOMPARE(link->font().underline(), underlinedAtRest);
        }

        // The link moving away from under a resting cursor sends no leave event; the
        // poll notices.
        QCursor::setPos(window.mapToGlobal(QPoint(25, 25)));
        QTest::mouseMove(link, QPoint(5, 5));
        QVERIFY(link->isHot());
        link->move(150, 60);
        QTRY_VERIFY_WITH_TIMEOUT(!link->isHot(), 2000);
        QCOMPARE(link->font().underline(), underlinedAtRest);
        QCursor::setPos(away);
    }

    void fitsToItsTextByAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        // Which of the expected rectangles the test computes from the measured text applies.
        QTest::addColumn<int>("expectedLeft");
        QTest::addColumn<int>("expectedTop");
        QTest::newRow("left keeps the left edge") << int(Qt::AlignLeft | Qt::AlignTop) << 0 << 0;
        QTest::newRow("centre shrinks on both sides")
            << int(Qt::AlignHCenter | Qt::AlignTop) << 1 << 0;
        QTest::newRow("right keeps the right edge") << int(Qt::AlignRight | Qt::AlignTop) << 2 << 0;
        QTest::newRow("vertically centred shrinks top and bottom")
            << int(Qt::AlignLeft | Qt::AlignVCenter) << 0 << 1;
    }

    void fitsToItsTextByAlignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, expectedLeft);
        QFETCH(int, expectedTop);

        QWidget window;
        auto* link = new HyperLink(QStringLiteral("A link"), QString(), &window);
        link->setAlignment(Qt::Alignment(alignment));
        const QRect area(30, 10, 201, 41);
        link->setGeometry(area);
        link->fitToText();

        QFont underlined = link->font();
        underlined.setUnderline(true);
        const QSize text = QFontMetrics(underlined).size(0, link->text());
        const int sideGap = (area.width() - text.width()) / 2;
        const int lefts[] = {area.left(), area.left() + sideGap,
                             area.left() + area.width() - text.width()};
        const int widths[] = {text.width(), area.width() - 2 * sideGap, text.width()};
        const int topGap = (area.height() - text.height()) / 2;
        const int tops[] = {area.top(), area.top() + topGap};
        const int heights[] = {text.height(), area.height() - 2 * topGap};

        QCOMPARE(link->geometry(), QRect(lefts[expectedLeft], tops[expectedTop],
                                         widths[expectedLeft], heights[expectedTop]));
    }

    void keyboardReachesAndFollowsIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
        QTest::addRow("Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
        QTest::addRow("Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers();
    }

    void keyboardReachesAndFollowsIt()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QWidget window;
        auto* before = new QPushButton(QStringLiteral("before"), &window);
        auto* link = new HyperLink(QStringLiteral("https://www.example.com/"), QString(), &window);
        link->move(10, 40);
        link->fitToText();
        int opened = 0;
        link->setOpener([&opened](const QString&) {
            ++opened;
            return HyperLink::kOpened;
        });
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        const QImage unfocused = link->grab().toImage();

        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        // The focus shows on the link itself.
        QVERIFY(link->grab().toImage() != unfocused);

        QTest::keyClick(link, Qt::Key(key), modifiers);
        QCOMPARE(opened, 1);
        QVERIFY(link->isFollowed());
        // Holding the key down does not follow it again and again.
        QKeyEvent repeat(QEvent::KeyPress, key, modifiers, QString(), true);
        QApplication::sendEvent(link, &repeat);
        QCOMPARE(opened, 1);
    }

    // Assistive technology meets a link, not a text, and can follow it: "jump" on the AT-SPI
    // bus, Qt's press action elsewhere.
    void assistiveTechnologySeesALinkToFollow()
    {
        QWidget window;
        auto* link = new HyperLink(QStringLiteral("Home page"),
                                   QStringLiteral("https://www.example.com/"), &window);
        QStringList opened;
        link->setOpener([&opened](const QString& target) {
            opened << target;
            return HyperLink::kOpened;
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Link);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Home page"));
        QCOMPARE(accessible->text(QAccessible::Description),
                 QStringLiteral("https://www.example.com/"));
        QVERIFY(accessible->state().linked && accessible->state().focusable);
        QVERIFY(!accessible->state().traversed);
        QAccessibleActionInterface* actions = accessible->actionInterface();
        QVERIFY(actions);
        const QStringList names = actions->actionNames();
        QCOMPARE(names.mid(0, 2),
                 (QStringList{QStringLiteral("jump"), QAccessibleActionInterface::pressAction()}));

        for (const QString& name : names.mid(0, 2)) {
            actions->doAction(name);
            // Followed from the event loop, not inside the request.
            QVERIFY(opened.size() < 2);
            QTRY_COMPARE(opened.size(), names.indexOf(name) + 1);
        }
        QCOMPARE(opened.last(), QStringLiteral("https://www.example.com/"));
        QVERIFY(accessible->state().traversed);

        link->setEnabled(false);
        QVERIFY(!actions->actionNames().contains(QStringLiteral("jump")));
        actions->doAction(QStringLiteral("jump"));
        QTest::qWait(50);
        QCOMPARE(opened.size(), 2);
    }

    void clickWithNoWayToOpenExplainsWhy()
    {
        QWidget window;
        auto* link =
            new HyperLink(QStringLiteral("https://www.example.com/nowhere"), QString(), &window);
        link->setGeometry(10, 10, 300, 30);
        link->fitToText();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        int opened = 0;
        link->setOpener([&opened](const QString&) {
            ++opened;
            return HyperLink::kOpened;
        });
        QList<SeenBox> boxes =
            answerBoxesDuring([&] { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3)); });
        QVERIFY(boxes.isEmpty());
        QCOMPARE(opened, 1);
        QVERIFY(link->isFollowed());
        QVERIFY(!link->isHot());
        QCOMPARE(drawnColour(*link), kPurple);

        QString triedTarget;
        link->setOpener([&triedTarget](const QString& target) {
            triedTarget = target;
            return noDesktopNoBrowser(target);
        });
        boxes =
            answerBoxesDuring([&] { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3)); });
        QCOMPARE(triedTarget, QStringLiteral("https://www.example.com/nowhere"));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QCoreApplication::applicationName());
        QCOMPARE(boxes[0].text,
                 QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                "associated\nwith the given filename extension."));
        QCOMPARE(boxes[0].icon, QMessageBox::Warning);
        QVERIFY(!link->isFollowed());
        QCOMPARE(drawnColour(*link), kBlue);
    }

    void openingMapsFailuresToCodes()
    {
        QTemporaryDir dir;
        QCOMPARE(noDesktopNoBrowser(QStringLiteral("https://www.example.com/")),
                 HyperLink::kNoAssociation);
        QCOMPARE(noDesktopNoBrowser(QStringLiteral("mailto:someone@example.com")),
                 HyperLink::kNoAssociation);
        QCOMPARE(noDesktopNoBrowser(dir.filePath(QStringLiteral("missing.htm"))),
                 HyperLink::kFileNotFound);
        QCOMPARE(noDesktopNoBrowser(QString()), HyperLink::kFileNotFound);
        QCOMPARE(HyperLink::openTarget(QStringLiteral("https://www.example.com/"), {},
                                       {QStringLiteral("no-such-browser-for-glyphlock")}),
                 HyperLink::kNoAssociation);
        // Never handed to a browser, which would take it for an option.
        QCOMPARE(HyperLink::openTarget(QStringLiteral("--kiosk"), {}, {QStringLiteral("true")}),
                 HyperLink::kFileNotFound);

        const QString locked = dir.filePath(QStringLiteral("locked.htm"));
        QFile file(locked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::Permissions()));
        if (QFileInfo(locked).isReadable())
            QSKIP("file modes do not bind this user");
        QCOMPARE(noDesktopNoBrowser(locked), HyperLink::kAccessDenied);
    }

    // The desktop's opener says with its exit status whether it opened the address
    // (commonly there is no mail program for "mailto:"); only success follows the link.
    void clickReportsWhatTheDesktopOpenerSaid_data()
    {
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<int>("code");
        QTest::newRow("opened") << 0 << int(HyperLink::kOpened);
        QTest::newRow("file missing") << 2 << int(HyperLink::kFileNotFound);
        QTest::newRow("no program for it") << 3 << int(HyperLink::kNoAssociation);
        QTest::newRow("its program failed") << 4 << int(HyperLink::kNoAssociation);
    }

    void clickReportsWhatTheDesktopOpenerSaid()
    {
        QFETCH(int, exitStatus);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString handed = dir.filePath(QStringLiteral("handed"));
        QVERIFY(!writeScript(dir, QStringLiteral("xdg-open"),
                             "printf '%s\\n' \"$@\" > '" + handed.toLocal8Bit() + "'\nexit " +
                                 QByteArray::number(exitStatus) + "\n")
                     .isEmpty());
        // Only the stand-in can be found: no browser to fall back on.
        const EnvironmentGuard path("PATH", dir.path().toLocal8Bit());
        const EnvironmentGuard browser("BROWSER", QByteArray());

        QWidget window;
        auto* link = new HyperLink(QStringLiteral("Write to us"),
                                   QStringLiteral("mailto:us@example.org"), &window);
        link->setGeometry(10, 10, 300, 30);
        link->fitToText();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<SeenBox> boxes =
            answerBoxesDuring([&] { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3)); });

        QFile seen(handed);
        QVERIFY(seen.open(QIODevice::ReadOnly));
        QCOMPARE(seen.readAll(), QByteArray("mailto:us@example.org\n"));
        QCOMPARE(link->isFollowed(), code == HyperLink::kOpened);
        if (code == HyperLink::kOpened) {
            QVERIFY(boxes.isEmpty());
        } else {
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text, QStringLiteral("Unable to open hyperlink:\n\n") +
                                        HyperLink::openErrorText(code));
        }
    }

    // A browser command that cannot start says why, as far as the message table can.
    void browserThatCannotStartSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<int>("code");
        QTest::newRow("not a program")
            << QByteArray("\x01\x02 no program\n") << true << int(HyperLink::kBadFormat);
        QTest::newRow("its interpreter is missing")
            << QByteArray("#!/nonexistent/glyphlock-shell\n") << true
            << int(HyperLink::kFileNotFound);
        QTest::newRow("not executable")
            << QByteArray("#!/bin/sh\nexit 0\n") << false << int(HyperLink::kAccessDenied);
    }

    void browserThatCannotStartSaysWhy()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, executable);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("browser"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        if (executable)
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        QCOMPARE(HyperLink::openTarget(QStringLiteral("https://www.example.com/"), {}, {program}),
                 code);
    }

    // A browser that was not running yet stays in the foreground until it is closed: still
    // running after a moment means it opened, and it keeps running.
    void browserStillRunningHasOpened()
    {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath(QStringLiteral("pid"));
        const QString browser =
            writeScript(dir, QStringLiteral("browser"),
                        "echo $$ > '" + pidFile.toLocal8Bit() + "'\nexec sleep 60\n");
        QVERIFY(!browser.isEmpty());
        QCOMPARE(HyperLink::openTarget(QStringLiteral("https://www.example.com/"), {}, {browser}),
                 HyperLink::kOpened);
        QFile written(pidFile);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const pid_t pid = written.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, 0), 0);
        ::kill(pid, SIGTERM);
        // Gone once reaped, which also lets the opener's bookkeeping go.
        QTRY_VERIFY(::kill(pid, 0) != 0);
        QTest::qWait(50);
    }

    void desktopGetsTheTargetAsAddress()
    {
        QTemporaryDir dir;
        const QString page = dir.filePath(QStringLiteral("page.htm"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QList<QUrl> handed;
        const auto desktop = [&handed](const QUrl& url) {
            handed << url;
            return HyperLink::kOpened;
        };
        QCOMPARE(HyperLink::openTarget(QStringLiteral("mailto:someone@example.com"), desktop, {}),
                 HyperLink::kOpened);
        QCOMPARE(HyperLink::openTarget(page, desktop, {}), HyperLink::kOpened);
        QCOMPARE(handed, QList<QUrl>({QUrl(QStringLiteral("mailto:someone@example.com")),
                                      QUrl::fromLocalFile(page)}));
    }

    void browserFallbackGetsTheTargetAsOneArgument_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QString target = QStringLiteral("https://www.example.com/a b;touch x'$(id)");
        QTest::newRow("appended") << QString() << QStringList{target};
        QTest::newRow("in place of %s") << QStringLiteral(" --new-window %s --quiet")
                                        << QStringList{"--new-window", target, "--quiet"};
    }

    void browserFallbackGetsTheTargetAsOneArgument()
    {
        QFETCH(QString, arguments);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("arguments.txt"));
        const QString recorder = writeArgumentRecorder(dir, out);
        QVERIFY(!recorder.isEmpty());

        const QString target = QStringLiteral("https://www.example.com/a b;touch x'$(id)");
        const int result = HyperLink::openTarget(
            target, [](const QUrl&) { return HyperLink::kNoAssociation; },
            {QStringLiteral("no-such-browser-for-glyphlock"), recorder + arguments});
        QCOMPARE(result, HyperLink::kOpened);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(written.readAll()).split('\n', Qt::SkipEmptyParts),
                 expected);
    }
};

QTEST_MAIN(TestHyperLink)

#include "TestHyperLink.moc"
