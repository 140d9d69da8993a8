// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MessageBoxWatch.h"

#include "app/GlyphlockApp.h"
#include "core/PasswordAlgorithm.h"
#include "password/PasswordGenerator.h"
#include "password/SymbolSetDialog.h"
#include "support/IsolatedTest.h"
#include "support/SettingsProbe.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kDefault = QString::fromLatin1(kDefaultSpecialChars);

QString successText(const QString& set)
{
    return QStringLiteral("Update Register successfully. Now it's:\"") + set + '"';
}

QLineEdit* editBox(SymbolSetDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("editSymbols"));
}

QPushButton* button(SymbolSetDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

QList<SeenBox> pressSet(SymbolSetDialog& dialog)
{
    return answerBoxesDuring(
        [&] { QTest::mouseClick(button(dialog, "setButton"), Qt::LeftButton); });
}

} // namespace

class TestSymbolSetDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A settings file of its own for every test function and row.
        QString name = QStringLiteral("glyphlock_%1_%2")
                           .arg(QTest::currentTestFunction(), QTest::currentDataTag());
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
        QCoreApplication::setApplicationName(name);
    }

    void openingWithoutAStoredSetStoresTheDefault()
    {
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QString());
        SymbolSetDialog dialog;
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), kDefault);
        QCOMPARE(editBox(dialog)->text(), kDefault);
    }

    void openingShowsTheStoredSet()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("#+ é")));
        SymbolSetDialog dialog;
        QCOMPARE(editBox(dialog)->text(), QStringLiteral("#+ é"));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("#+ é"));
    }

    void layoutFollowsTheTemplate()
    {
        SymbolSetDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Config"));
        QVERIFY(button(dialog, "setButton")->isDefault());
        QCOMPARE(button(dialog, "setButton")->text(), QStringLiteral("&Set"));
        QCOMPARE(button(dialog, "closeButton")->text(), QStringLiteral("&Close"));
        QCOMPARE(button(dialog, "originalButton")->text(), QStringLiteral("&Original"));

        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
            // Wrapped texts must fit their boxes in the dialog's font.
            QVERIFY2(label->heightForWidth(label->contentsRect().width()) <=
                         label->contentsRect().height(),
                     qPrintable(label->text()));
        }
        QCOMPARE(texts, QStringList({
                            "What special characters can appear in the password:",
                            "0~9, A~Z, a~z may appear by default. However, you may set any "
                            "characters in above box to make your own password generation scheme.",
                            "This modification may influence the password generation algorithm. "
                            "Your old password may NOT be generated after this. You'd better "
                            "write down the old password first, then update it to a new one by "
                            "the new config.",
                        }));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), button(dialog, "setButton"));
        const QList<QWidget*> chain{button(dialog, "closeButton"), editBox(dialog),
                                    button(dialog, "originalButton"), button(dialog, "setButton")};
        for (QWidget* next : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void setStoresTheTextExactly_data()
    {
        QTest::addColumn<QString>("set");
        QTest::newRow("single space") << QStringLiteral(" ");
        QTest::newRow("repeated characters") << QStringLiteral("!!!!##aa");
        QTest::newRow("letters and digits of the alphabet") << QStringLiteral("aZ09");
        QTest::newRow("surrounding spaces") << QStringLiteral("  @ ~  ");
        QTest::newRow("non-ASCII") << QStringLiteral("é€日本ß");
        QTest::newRow("quotes and percent signs") << QStringLiteral("\"%1%s\\'");
        QTest::newRow("markup") << QStringLiteral("<b>&amp;</b>");
    }

    void setStoresTheTextExactly()
    {
        QFETCH(QString, set);
        SymbolSetDialog dialog;
        dialog.show();
        editBox(dialog)->setText(set);

        const QList<SeenBox> boxes = pressSet(dialog);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QCoreApplication::applicationName());
        QCOMPARE(boxes[0].text, successText(set));
        QCOMPARE(boxes[0].icon, QMessageBox::Warning);
        QVERIFY(boxes[0].plainText);
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), set);
        QVERIFY(dialog.isVisible());
        QCOMPARE(editBox(dialog)->text(), set);
    }

    void emptyTextIsRefusedAndNothingStored()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("abc")));
        SymbolSetDialog dialog;
        dialog.show();
        editBox(dialog)->clear();

        const QList<SeenBox> boxes = pressSet(dialog);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("At least one character must be set."));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("abc"));
        QVERIFY(dialog.isVisible());
    }

    void enterInTheBoxAndSetTwiceStoreEachTime()
    {
        SymbolSetDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QLineEdit* edit = editBox(dialog);
        edit->setFocus();
        edit->setText(QStringLiteral("+-"));

        QList<SeenBox> boxes = answerBoxesDuring([&] { QTest::keyClick(edit, Qt::Key_Return); });
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, successText(QStringLiteral("+-")));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("+-"));

        edit->setText(QStringLiteral("="));
        boxes = pressSet(dialog) + pressSet(dialog);
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, successText(QStringLiteral("=")));
        QCOMPARE(boxes[1].text, successText(QStringLiteral("=")));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("="));
        QVERIFY(dialog.isVisible());
    }

    void originalOnlyFillsTheBoxUntilSet()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("abc")));
        SymbolSetDialog dialog;
        dialog.show();
        QTest::mouseClick(button(dialog, "originalButton"), Qt::LeftButton);
        QCOMPARE(editBox(dialog)->text(), kDefault);
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("abc"));

        const QList<SeenBox> boxes = pressSet(dialog);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, successText(kDefault));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), kDefault);
    }

    void leavingStoresNothing_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }

    void leavingStoresNothing()
    {
        QFETCH(int, way);
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("abc")));
        SymbolSetDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(button(dialog, "originalButton"), Qt::LeftButton);
        editBox(dialog)->setText(editBox(dialog)->text() + "xyz");

        const QList<SeenBox> boxes = answerBoxesDuring([&] {
            if (way == 0)
                QTest::mouseClick(button(dialog, "closeButton"), Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        });
        QVERIFY(boxes.isEmpty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("abc"));
    }

    // Root ignores file modes, so a directory stands where the settings file should be.
    void failingStoreIsReported()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("old")));
        SymbolSetDialog dialog;
        dialog.show();
        QVERIFY(QFile::remove(configFile()));
        QVERIFY(QDir().mkpath(configFile()));
        editBox(dialog)->setText(QStringLiteral("new"));

        const QList<SeenBox> boxes = pressSet(dialog);
        QVERIFY(QDir(configFile()).removeRecursively());
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Update Register error. You may try later."));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QVERIFY(dialog.isVisible());
        QCOMPARE(editBox(dialog)->text(), QStringLiteral("new"));
        QVERIFY(GlyphlockApp::LoadSpecialChars() != QStringLiteral("new"));
    }

    void nextPasswordUsesTheNewSet()
    {
        const std::vector<std::string> rows{"abc", "fed"};
        const QString before = PasswordGenerator::generate(rows);
        SymbolSetDialog dialog;
        dialog.show();
        editBox(dialog)->setText(QStringLiteral(" "));
        QCOMPARE(pressSet(dialog).size(), 1);

        const QString after = PasswordGenerator::generate(rows);
        QVERIFY(after != before);
        QCOMPARE(after, QString::fromStdU32String(generatePassword(rows, U" ")));
    }
};

int main(int argc, char** argv)
{
    return runWithGlyphlockApp<TestSymbolSetDialog>(argc, argv);
}

#include "TestSymbolSetDialog.moc"
