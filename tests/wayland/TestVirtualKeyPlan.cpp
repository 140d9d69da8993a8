// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/VirtualKeyPlan.h"

#include <QTest>

#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <set>

namespace {

using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;

// A US keyboard as the system's keyboard data describes it: the judge of which keys are plain
// character keys, independent of the plan's own list.
Keymap usKeymap()
{
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    return Keymap(
        context ? xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                : nullptr,
        xkb_keymap_unref);
}

// What the key gives on that keyboard without modifiers, as a keysym name ("" for nothing).
QByteArray usKeysymName(xkb_keymap* keymap, uint32_t key, char32_t* character)
{
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, key + 8, 0, 0, &syms);
    *character = count == 1 ? xkb_keysym_to_utf32(syms[0]) : 0;
    char name[64] = {};
    if (count == 1)
        xkb_keysym_get_name(syms[0], name, sizeof name);
    return name;
}

QString fromUcs4(std::u32string_view text)
{
    return QString::fromStdU32String(std::u32string(text));
}

std::u32string distinctRun(char32_t first, int count)
{
    std::u32string text;
    for (int i = 0; i < count; ++i)
        text += char32_t(first + char32_t(i));
    return text;
}

} // namespace

// The plan of keys for a text: characters only on keys that every program reads as a
// character, the space on the space bar, every character given, the parts in the text's order.
class TestVirtualKeyPlan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        us = usKeymap();
        QVERIFY2(us, "no US keymap in the system's keyboard data");
    }

    // The keys it gives out are the US keyboard's letter, digit and punctuation keys: neither
    // Escape, Backspace, Tab, Enter nor the space bar, no modifier, no keypad key.
    void onlyCharacterKeys()
    {
        const std::vector<uint32_t>& keys = VirtualKeyPlan::characterKeys();
        QCOMPARE(std::set<uint32_t>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(keys.size(), size_t(47));
        for (const uint32_t key : keys)
            QVERIFY2(isCharacterKey(key), qPrintable(describe(key)));
        char32_t character = 0;
        QCOMPARE(usKeysymName(us.get(), VirtualKeyPlan::kSpaceKey, &character),
                 QByteArray("space"));
    }

    void partsGiveTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parts");

        QTest::newRow("a generated password") << QStringLiteral("WdJ+jp>ddO;sMsVH;u$G") << 1;
        // Low code points: the first of them took Escape, later ones Backspace and Tab.
        QTest::newRow("low specials and a space")
            << QStringLiteral("VTetp&0.(#m(qz ntR$Es !\"#$%&'()*+,-./") << 1;
        QTest::newRow("one character, repeated") << QStringLiteral("zzzz") << 1;
        QTest::newRow("spaces alone") << QStringLiteral("   ") << 1;
        QTest::newRow("47 distinct characters fill one keymap")
            << fromUcs4(distinctRun(U'A', 47) + U"A B") << 1;
        QTest::newRow("60 distinct characters") << fromUcs4(distinctRun(U'!', 60)) << 2;
        QTest::newRow("60 distinct, the first ones again at the end")
            << fromUcs4(distinctRun(U'!', 60) + distinctRun(U'!', 5)) << 2;
        QTest::newRow("every printable ASCII character, twice") << [] {
            const std::u32string all = distinctRun(U' ', 95);
            return fromUcs4(all + all);
        }() << 4;
        QTest::newRow("beyond ASCII and the basic plane")
            << fromUcs4(U"é€ß😀Az09😀ß€é \u00a0\u00ff\u2013日本語\U0001F9D1\U00010348") << 1;
        QTest::newRow("200 distinct characters beyond ASCII")
            << fromUcs4(distinctRun(U'\u0400', 200)) << 5;
    }

    void partsGiveTheText()
    {
        QFETCH(QString, text);
        QFETCH(int, parts);
        const std::u32string characters = text.toStdU32String();
        const std::vector<VirtualKeyPlan::Part> plan = VirtualKeyPlan::plan(characters);
        QCOMPARE(int(plan.size()), parts);

        const size_t characterKeys = VirtualKeyPlan::characterKeys().size();
        std::u32string typed;
        for (size_t p = 0; p < plan.size(); ++p) {
            const VirtualKeyPlan::Part& part = plan[p];
            std::set<uint32_t> keys;
            std::set<char32_t> given;
            for (const auto& [key, character] : part.keys) {
                QVERIFY2(keys.insert(key).second, "a key carries two characters");
                QVERIFY2(given.insert(character).second, "a character is on two keys");
                if (character == U' ')
                    QCOMPARE(key, VirtualKeyPlan::kSpaceKey);
                else
                    QVERIFY2(isCharacterKey(key), qPrintable(describe(key)));
            }
            // A part ends only where its keys ran out: the next character is a new one.
            if (p + 1 < plan.size()) {
                QCOMPARE(given.size() - given.count(U' '), characterKeys);
                QVERIFY(!given.count(characters[typed.size() + part.sequence.size()]));
            }
            for (const uint32_t key : part.sequence) {
                QVERIFY(keys.count(key));
                for (const auto& [k, character] : part.keys) {
                    if (k == key)
                        typed += character;
                }
            }
            QVERIFY(!part.sequence.empty());
        }
        QCOMPARE(fromUcs4(typed), text);
    }

    // The keymap a part brings tells which characters the text holds, not their order.
    void keymapKeepsTheOrder()
    {
        const std::u32string text = U"WdJ+jp>ddO;sMsVH;u$G";
        std::u32string reversed(text.rbegin(), text.rend());
        const auto forwards = VirtualKeyPlan::plan(text);
        const auto backwards = VirtualKeyPlan::plan(reversed);
        QCOMPARE(forwards.size(), size_t(1));
        QCOMPARE(backwards.size(), size_t(1));
        QVERIFY(forwards[0].keys == backwards[0].keys);
        QVERIFY(forwards[0].sequence != backwards[0].sequence);
    }

private:
    // On a US keyboard the key types a visible ASCII character, and it is not on the keypad.
    bool isCharacterKey(uint32_t key) const
    {
        char32_t character = 0;
        const QByteArray name = usKeysymName(us.get(), key, &character);
        return character > 0x20 && character < 0x7f && !name.startsWith("KP_");
    }

    QString describe(uint32_t key) const
    {
        char32_t character = 0;
        return QStringLiteral("key %1 gives %2")
            .arg(key)
            .arg(QString::fromLatin1(usKeysymName(us.get(), key, &character)));
    }

    Keymap us{nullptr, xkb_keymap_unref};
};

QTEST_APPLESS_MAIN(TestVirtualKeyPlan)
#include "TestVirtualKeyPlan.moc"
