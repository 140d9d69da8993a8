// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/KeyPlan.h"

#include <QTest>

#include <xkbcommon/xkbcommon.h>

#include <functional>
#include <memory>
#include <set>

namespace {

using XkbKeymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
using XkbState = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

// A keyboard as the system's keyboard data describes it (evdev, pc105).
XkbKeymap compile(const char* layouts)
{
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
    const xkb_rule_names names{"evdev", "pc105", layouts, "", ""};
    return XkbKeymap(
        context ? xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                : nullptr,
        xkb_keymap_unref);
}

// The modifier a key sets, from what it types, as the server's modifier map has it.
unsigned modifiersOf(Keysym keysym)
{
    switch (keysym) {
    case XKB_KEY_Shift_L:
    case XKB_KEY_Shift_R:
        return 1u << 0;
    case XKB_KEY_Caps_Lock:
        return 1u << 1;
    case XKB_KEY_Control_L:
    case XKB_KEY_Control_R:
        return 1u << 2;
    case XKB_KEY_Alt_L:
    case XKB_KEY_Alt_R:
    case XKB_KEY_Meta_L:
        return 1u << 3;
    case XKB_KEY_Num_Lock:
        return 1u << 4;
    case XKB_KEY_Super_L:
    case XKB_KEY_Super_R:
        return 1u << 6;
    case XKB_KEY_ISO_Level3_Shift:
    case XKB_KEY_Mode_switch:
        return 1u << 7;
    default:
        return 0;
    }
}

// The description the typist reads from a server with this keymap.
KeymapDescription describe(xkb_keymap* keymap)
{
    KeymapDescription description;
    for (xkb_keycode_t keycode = std::max(xkb_keymap_min_keycode(keymap), 8u);
         keycode <= std::min(xkb_keymap_max_keycode(keymap), 255u); ++keycode) {
        KeymapKey key;
        key.keycode = keycode;
        for (xkb_layout_index_t layout = 0;
             layout < xkb_keymap_num_layouts_for_key(keymap, keycode); ++layout) {
            KeyGroup group;
            for (xkb_level_index_t level = 0;
                 level < xkb_keymap_num_levels_for_key(keymap, keycode, layout); ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int count =
                    xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &syms);
                group.keysyms.push_back(count == 1 ? syms[0] : kNoSymbol);
                xkb_mod_mask_t masks[16] = {};
                const std::size_t found = xkb_keymap_key_get_mods_for_level(
                    keymap, keycode, layout, level, masks, std::size(masks));
                for (std::size_t i = 0; i < found; ++i) {
                    group.type.modsMask |= masks[i];
                    if (masks[i] != 0)
                        group.type.levels.emplace_back(masks[i], level);
                }
            }
            key.groups.push_back(std::move(group));
        }
        if (!key.groups.empty() && !key.groups[0].keysyms.empty())
            key.modifiers = modifiersOf(key.groups[0].keysyms[0]);
        description.keys.push_back(std::move(key));
    }
    return description;
}

KeymapKey* keyOf(KeymapDescription& description, unsigned keycode)
{
    for (KeymapKey& key : description.keys) {
        if (key.keycode == keycode)
            return &key;
    }
    return nullptr;
}

// Keeps only the `count` highest keys without keysyms empty (the others type F35 now).
void keepSpares(KeymapDescription& description, int count)
{
    for (auto key = description.keys.rbegin(); key != description.keys.rend(); ++key) {
        if (key->modifiers == 0 && holdsNoKeysym(*key) && count-- <= 0)
            key->groups = {KeyGroup{{}, {XKB_KEY_F35}}};
    }
}

// The highest key without keysyms sets a modifier, as a server's modifier map may say.
void modifierOnEmptyKey(KeymapDescription& description)
{
    for (auto key = description.keys.rbegin(); key != description.keys.rend(); ++key) {
        if (holdsNoKeysym(*key)) {
            key->modifiers = 1u << 6;
            return;
        }
    }
}

using Change = std::function<void(KeymapDescription&)>;

} // namespace

Q_DECLARE_METATYPE(Change)

// Keys for texts on real layouts. Every planned key is checked against xkbcommon's own reading
// of the layout (the key pressed, with Shift when planned, in the group typed in), every spare
// key against the keymap before the plan (no keysym, no modifier).
class TestKeyPlan : public QObject
{
    Q_OBJECT

private slots:
    void plans_data();
    void plans();
};

void TestKeyPlan::plans_data()
{
    QTest::addColumn<QByteArray>("layouts");
    QTest::addColumn<unsigned>("group");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typeable");
    QTest::addColumn<QString>("spared"); // the characters that must go on spare keys
    QTest::addColumn<int>("batches");

    const Change none = [](KeymapDescription&) {};
    const auto twoSpares = [](KeymapDescription& description) { keepSpares(description, 2); };
    const auto noSpares = [](KeymapDescription& description) { keepSpares(description, 0); };

    QTest::newRow("us: letters, digits, comma")
        << QByteArray("us") << 0u << none << "pEziMavh5Q1p8W,eEnBP" << true << "" << 1;
    QTest::newRow("us: every shifted symbol")
        << QByteArray("us") << 0u << none << "~!@#$%^&*()_+{}|:\"<>? " << true << "" << 1;
    QTest::newRow("us: accents and the euro on spares")
        << QByteArray("us") << 0u << none << "a\u00e9b\u20ac\u00e9" << true << "\u00e9\u20ac" << 1;
    QTest::newRow("de: letters of its own, y and z, shifted symbols")
        << QByteArray("de") << 0u << none << "yzYZ\u00e4\u00f6\u00fc\u00df\u00a7\u00b0\"&/=?"
        << true << "" << 1;
    // AltGr levels are not used: @ and the euro sign are on Q and E beside Shift's Q and E.
    QTest::newRow("de: AltGr characters on spares")
        << QByteArray("de") << 0u << none << "q@Q\u20ace{" << true << "@\u20ac{" << 1;
    QTest::newRow("us+ru: Latin in the first group, Cyrillic on spares")
        << QByteArray("us,ru") << 0u << none << "pass\u0416\u0436" << true << "\u0416\u0436" << 1;
    QTest::newRow("us+ru: typed in the second group")
        << QByteArray("us,ru") << 1u << none << "\u0416\u0436\u0451,p" << true << "p" << 1;
    QTest::newRow("ru: the ASCII symbols it lacks")
        << QByteArray("ru") << 0u << none << "1@#$^&[]~" << true << "@#$^&[]~" << 1;
    QTest::newRow("ru: more missing than spares, in batches")
        << QByteArray("ru") << 0u << Change(twoSpares) << "@1#$@$[" << true << "@#$[" << 3;
    QTest::newRow("us: a key setting a modifier is no spare")
        << QByteArray("us") << 0u << Change(modifierOnEmptyKey) << "\u00e9\u20ac" << true
        << "\u00e9\u20ac" << 1;
    QTest::newRow("empty text") << QByteArray("us") << 0u << none << "" << true << "" << 0;
    QTest::newRow("no spare for a missing character")
        << QByteArray("us") << 0u << Change(noSpares) << "ab\u00e9" << false << "" << 0;
    QTest::newRow("without spares, all on the keymap")
        << QByteArray("us") << 0u << Change(noSpares) << "ab@" << true << "" << 1;
    QTest::newRow("a control character")
        << QByteArray("us") << 0u << none << "ab\ncd" << false << "" << 0;
}

void TestKeyPlan::plans()
{
    QFETCH(QByteArray, layouts);
    QFETCH(unsigned, group);
    QFETCH(Change, change);
    QFETCH(QString, text);
    QFETCH(bool, typeable);
    QFETCH(QString, spared);
    QFETCH(int, batches);

    const XkbKeymap keymap = compile(layouts.constData());
    if (!keymap)
        QSKIP("the system's keyboard data (xkb-data) is not installed");
    KeymapDescription description = describe(keymap.get());
    change(description);

    const std::u32string characters = text.toStdU32String();
    const KeyPlan plan = planKeys(description, characters, group);
    QCOMPARE(plan.typeable, typeable);
    if (!typeable)
        return;
    QCOMPARE(int(plan.batches.size()), batches);

    const XkbState state(xkb_state_new(keymap.get()), xkb_state_unref);
    const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    std::size_t index = 0;
    std::u32string onSpares;
    for (const KeyBatch& batch : plan.batches) {
        std::set<unsigned> remapped;
        for (const auto& [keycode, keysym] : batch.remaps) {
            QVERIFY2(remapped.insert(keycode).second, "a spare key twice in one batch");
            const KeymapKey* key = keyOf(description, keycode);
            QVERIFY(key);
            QVERIFY2(holdsNoKeysym(*key) && key->modifiers == 0, "a spare key that was in use");
        }
        for (const PlannedKey& planned : batch.keys) {
            QVERIFY(index < characters.size());
            const char32_t character = characters[index++];
            const auto remap =
                std::find_if(batch.remaps.begin(), batch.remaps.end(),
                             [&](const auto& pair) { return pair.first == planned.keycode; });
            if (remap != batch.remaps.end()) {
                QVERIFY(!planned.shift);
                QCOMPARE(xkb_keysym_to_utf32(remap->second), uint32_t(character));
                if (onSpares.find(character) == std::u32string::npos)
                    onSpares += character;
                continue;
            }
            xkb_state_update_mask(state.get(), planned.shift ? shift : 0, 0, 0, 0, 0, group);
            QCOMPARE(xkb_state_key_get_utf32(state.get(), planned.keycode), uint32_t(character));
            if (planned.shift) {
                const xkb_keysym_t* syms = nullptr;
                QCOMPARE(
                    xkb_keymap_key_get_syms_by_level(keymap.get(), plan.shiftKeycode, 0, 0, &syms),
                    1);
                QVERIFY(syms[0] == XKB_KEY_Shift_L || syms[0] == XKB_KEY_Shift_R);
            }
        }
    }
    QCOMPARE(index, characters.size());
    QCOMPARE(QString::fromStdU32String(onSpares), spared);
}

QTEST_APPLESS_MAIN(TestKeyPlan)
#include "TestKeyPlan.moc"
