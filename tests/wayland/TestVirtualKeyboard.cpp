// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/VirtualKeyboard.h"

#include <QTest>

#include <xkbcommon/xkbcommon.h>

#include <memory>

// The keymaps that each text brings along, compiled as a compositor and the receiving program
// compile them: pressing the keys in order, each part with its keymap, gives back the text,
// character for character.
class TestVirtualKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void keysGiveBackTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("every printable ASCII character") << [] {
            QString all;
            for (char16_t c = 0x20; c < 0x7f; ++c)
                all += QChar(c);
            return all;
        }();
        QTest::newRow("beyond ASCII, an emoji, repeats")
            << QString::fromStdU32String(U"é€ß😀Az09😀ß€é");
        QTest::newRow("one character") << QStringLiteral("x");
        QTest::newRow("Latin-1 and beyond the basic plane")
            << QString::fromStdU32String(U"\u00a0\u00ff\u0100\u2013日本語\U0001F9D1\U00010348");
        // More distinct characters than one keymap takes: several keymaps, one after the other.
        QTest::newRow("sixty distinct characters beyond ASCII") << [] {
            QString text;
            for (char16_t c = 0x3041; c < 0x3041 + 60; ++c)
                text += QChar(c);
            return text + text.left(10);
        }();
    }

    void keysGiveBackTheText()
    {
        QFETCH(QString, text);
        const std::vector<VirtualKeyboard::Part> parts = VirtualKeyboard::keysFor(text);
        QVERIFY(!parts.empty());

        std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
            xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
        QVERIFY(context);
        QString typed;
        for (const VirtualKeyboard::Part& part : parts) {
            std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
                xkb_keymap_new_from_buffer(context.get(), part.keymap.constData(),
                                           size_t(part.keymap.size()), XKB_KEYMAP_FORMAT_TEXT_V1,
                                           XKB_KEYMAP_COMPILE_NO_FLAGS),
                xkb_keymap_unref);
            QVERIFY2(keymap, part.keymap.constData());
            std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(
                xkb_state_new(keymap.get()), xkb_state_unref);
            for (const uint32_t key : part.sequence) {
                const xkb_keycode_t code = key + VirtualKeyboard::kKeymapOffset;
                char utf8[16] = {};
                xkb_state_key_get_utf8(state.get(), code, utf8, sizeof utf8);
                typed += QString::fromUtf8(utf8);
            }
        }
        QCOMPARE(typed, text);
    }

    // Nothing that would move on or submit (a line break is Enter), and nothing that names no
    // character: no keys at all, so that nothing of such a text is typed.
    void refusesTextsThatAreNotTypable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("line break at the end") << QStringLiteral("secret\n");
        QTest::newRow("carriage return") << QStringLiteral("se\rcret");
        QTest::newRow("tab") << QStringLiteral("se\tcret");
        QTest::newRow("delete") << QStringLiteral("se\x7f"
                                                  "cret");
        QTest::newRow("C1 control") << QString::fromStdU32String(U"se\u0085cret");
        QTest::newRow("lone surrogate") << QString(QChar(0xd800)) + QStringLiteral("x");
    }

    void refusesTextsThatAreNotTypable()
    {
        QFETCH(QString, text);
        QVERIFY(VirtualKeyboard::keysFor(text).empty());
    }
};

QTEST_APPLESS_MAIN(TestVirtualKeyboard)
#include "TestVirtualKeyboard.moc"
