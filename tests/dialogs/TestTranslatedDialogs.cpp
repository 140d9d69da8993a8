// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "../delivery/RecordingPickerPlatform.h"
#include "app/GlyphlockApp.h"
#include "delivery/PasswordDialog.h"
#include "matrix/AboutDialog.h"
#include "password/SymbolSetDialog.h"
#include "support/IsolatedTest.h"
#include "widgets/DialogUnits.h"
#include "widgets/FitToText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTextLayout>
#include <QTranslator>

#include <memory>

namespace {

QString describe(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text().left(40);
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return control->objectName();
}

// Every control of `container` lies inside it without overlapping another, and its text has
// the room it needs: nothing is cut off.
void checkPlacement(QWidget* container)
{
    QList<QWidget*> controls;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child->isHidden())
            continue;
        QVERIFY2(container->rect().contains(child->geometry()), qPrintable(describe(child)));
        QVERIFY2(textShortfall(child).isNull(),
                 qPrintable(QStringLiteral("%1 needs %2 x %3 more")
                                .arg(describe(child))
                                .arg(textShortfall(child).width())
                                .arg(textShortfall(child).height())));
        if (auto* group = qobject_cast<QGroupBox*>(child)) {
            QVERIFY2(group->fontMetrics().horizontalAdvance(group->title()) < group->width(),
                     qPrintable(group->title()));
            continue;
        }
        controls << child;
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(describe(controls[i]) + " / " + describe(controls[j])));
        }
    }
}

void removeTranslations()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

struct FontGuard
{
    explicit FontGuard(const QString& family) { QApplication::setFont(QFont(family, 9)); }
    ~FontGuard() { QApplication::setFont(previous); }
    const QFont previous = QApplication::font();
};

// The dialogs as a user opens them, over a main window on the laptop screen.
std::unique_ptr<QDialog> openDialog(const QString& which, QWidget* owner)
{
    if (which == QLatin1String("about"))
        return std::make_unique<AboutDialog>(owner);
    if (which == QLatin1String("config"))
        return std::make_unique<SymbolSetDialog>(owner);
    const auto gesture = which == QLatin1String("password, drag")
                             ? PickerPlatform::Gesture::DragToWindow
                             : PickerPlatform::Gesture::ArmThenFocus;
    auto platform = std::make_unique<RecordingPickerPlatform>();
    platform->setGesture(gesture);
    return std::make_unique<PasswordDialog>(owner, QStringLiteral("aZ9!@#$%"), std::move(platform));
}

const char* const kDialogs[] = {"about", "config", "password, drag", "password, arm"};

} // namespace

class TestTranslatedDialogs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeTranslations(); }

    // The user's first language with a catalogue wins; Qt's own texts (standard buttons, a
    // line edit's menu) follow ours; anything else is English, exactly as written.
    void speaksTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("tips");
        QTest::addColumn<QString>("cancel");
        const QString english = QStringLiteral("Tips");
        QTest::addRow("German") << "de_DE" << QStringList{"glyphlock_de", "qtbase_de_DE"} << "Tipps"
                                << "Abbrechen";
        QTest::addRow("Austrian German")
            << "de_AT" << QStringList{"glyphlock_de", "qtbase_de_DE"} << "Tipps"
            << "Abbrechen";
        QTest::addRow("Chinese") << "zh_CN" << QStringList{"glyphlock_zh_CN", "qtbase_zh_CN"}
                                 << QString::fromUtf8("提示") << QString::fromUtf8("取消");
        QTest::addRow("C") << "C" << QStringList() << english << "Cancel";
        QTest::addRow("English") << "en_US" << QStringList() << english << "Cancel";
        QTest::addRow("French, none") << "fr_FR" << QStringList() << english << "Cancel";
    }

    void speaksTheUsersLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, installed);
        QFETCH(QString, tips);
        QFETCH(QString, cancel);
        QCOMPARE(GlyphlockApp::installTranslations(QLocale(locale),
                                                   QStringLiteral(GLYPHLOCK_TRANSLATIONS_DIR)),
                 installed);
        QCOMPARE(QCoreApplication::translate("AboutDialog", "Tips"), tips);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    }

    // In English every text fits its designed rectangle, so nothing is moved for it.
    void englishNeedsNoRoom_data() { dialogs(false); }
    void englishNeedsNoRoom()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, family);
        const FontGuard font(family);
        QWidget owner;
        std::unique_ptr<QDialog> dialog = openDialog(dialogName, &owner);
        for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(textShortfall(child).isNull(), qPrintable(describe(child)));
        // Every message the drag area may show fits it too: the box keeps its designed size.
        const DialogUnits units(dialog->font());
        const QSize designed = dialogName == QLatin1String("about")    ? QSize(246, 383)
                               : dialogName == QLatin1String("config") ? QSize(226, 143)
                                                                       : QSize(187, 105);
        QCOMPARE(dialog->size(), QSize(units.x(designed.width()), units.y(designed.height())));
    }

    // A laptop's 1366 x 768 screen at 125 %: every dialog in each language fits it, nothing
    // cut off, nothing overlapping.
    void translatedDialogsFit_data() { dialogs(true); }
    void translatedDialogsFit()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, family);
        QFETCH(QString, locale);
        QVERIFY(!GlyphlockApp::installTranslations(QLocale(locale),
                                                   QStringLiteral(GLYPHLOCK_TRANSLATIONS_DIR))
                     .isEmpty());
        const FontGuard font(family);
        QWidget owner;
        owner.setGeometry(
            QRect(QGuiApplication::primaryScreen()->availableGeometry().center(), QSize(300, 200)));
        owner.show();
        std::unique_ptr<QDialog> dialog = openDialog(dialogName, &owner);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        checkPlacement(dialog.get());
        if (auto* tips = dialog->findChild<QScrollArea*>(QStringLiteral("tipsArea")))
            checkPlacement(tips->widget());
        const QRect available = owner.screen()->availableGeometry();
        QVERIFY2(available.contains(dialog->geometry()),
                 qPrintable(QStringLiteral("%1 x %2").arg(dialog->width()).arg(dialog->height())));
    }

    // Chinese text is drawn with a font that has its characters, where one is installed.
    void chineseFindsItsFont()
    {
        QTextLayout layout(QString::fromUtf8("自动输入密码"), QApplication::font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        QVERIFY(!runs.isEmpty());
        const QRawFont font = runs.first().rawFont();
        if (!font.familyName().contains(QLatin1String("CJK")))
            QSKIP(qPrintable(
                QStringLiteral("no CJK font installed (drawn with %1)").arg(font.familyName())));
        for (quint32 glyph : runs.first().glyphIndexes())
            QVERIFY(glyph != 0);
    }

private:
    static void dialogs(bool translated)
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("locale");
        for (const char* locale : {"de_DE", "zh_CN"}) {
            for (const char* family : {"DejaVu Sans", "Noto Sans"}) {
                for (const char* dialogName : kDialogs) {
                    QTest::addRow("%s, %s, %s", translated ? locale : "en", family, dialogName)
                        << dialogName << family << locale;
                }
            }
            if (!translated)
                break;
        }
    }
};

int main(int argc, char** argv)
{
    UserFoldersInTemp folders;
    // 1366 x 768 at 125 %.
    QFile screens(folders.configPath() + QStringLiteral("/screens.json"));
    if (!screens.open(QIODevice::WriteOnly) || screens.write(R"({"screens": [
            {"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96}
        ]})") < 0)
        return 1;
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "1.25");
    GlyphlockApp app(argc, argv);
    TestTranslatedDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestTranslatedDialogs.moc"
