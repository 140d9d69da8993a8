// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/KeyboardGuard.h"

#include <QTest>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

// A keyboard whose state is a few numbers: Caps Lock and Num Lock locked, Shift latched, the
// second layout locked, a key held down.
class FakeKeyboard : public KeyboardState
{
public:
    static constexpr Locks kUsers{0x02 | 0x10, 0x01, 1, 0};

    Locks locks() override { return state; }
    void lockModifiers(unsigned affect, unsigned values) override
    {
        state.lockedMods = (state.lockedMods & ~affect) | (values & affect);
    }
    void latchModifiers(unsigned affect, unsigned values) override
    {
        state.latchedMods = (state.latchedMods & ~affect) | (values & affect);
    }
    void lockGroup(int group) override { state.lockedGroup = group; }
    void latchGroup(int group) override { state.latchedGroup = group; }
    std::vector<unsigned> heldKeys() override { return held; }
    void releaseKey(unsigned keycode) override { std::erase(held, keycode); }
    void mapKey(unsigned keycode, Keysym keysym) override { keysyms[keycode] = keysym; }

    bool locksAre(const Locks& locks) const
    {
        return state.lockedMods == locks.lockedMods && state.latchedMods == locks.latchedMods &&
               state.lockedGroup == locks.lockedGroup && state.latchedGroup == locks.latchedGroup;
    }
    bool spareKeysEmpty() const
    {
        return std::all_of(keysyms.begin(), keysyms.end(),
                           [](const auto& key) { return key.second == kNoSymbol; });
    }

    Locks state = kUsers;
    std::vector<unsigned> held{50};
    std::map<unsigned, Keysym> keysyms;
};

// One way through a delivery, with the guard set up as the typist sets it up.
using Path = std::function<void(KeyboardGuard&, FakeKeyboard&)>;

} // namespace

Q_DECLARE_METATYPE(Path)

// The user's keyboard is clear while the keys go out and is the user's again afterwards,
// whichever way typing ends.
class TestKeyboardGuard : public QObject
{
    Q_OBJECT

private slots:
    void paths_data();
    void paths();
};

void TestKeyboardGuard::paths_data()
{
    QTest::addColumn<Path>("path");

    const auto typing = [](KeyboardGuard& guard, FakeKeyboard& keyboard) {
        guard.setAside();
        QVERIFY(keyboard.locksAre({}));
        QVERIFY(keyboard.held.empty());
        guard.remap(200, 0x20ac);
        guard.remap(199, 0xe9);
    };
    QTest::newRow("typed, locks and spares put back at the end")
        << Path([typing](KeyboardGuard& guard, FakeKeyboard& keyboard) {
               typing(guard, keyboard);
               guard.restore();
           });
    QTest::newRow("typed, spares kept while the target reads them")
        << Path([typing](KeyboardGuard& guard, FakeKeyboard& keyboard) {
               typing(guard, keyboard);
               guard.restoreLocks();
               QVERIFY(keyboard.locksAre(FakeKeyboard::kUsers));
               QCOMPARE(keyboard.keysyms[200], Keysym(0x20ac));
               QVERIFY(guard.holdsSpareKeys());
           });
    QTest::newRow("target gone after the click, before any key")
        << Path([](KeyboardGuard& guard, FakeKeyboard&) { guard.setAside(); });
    QTest::newRow("time out between batches") << Path(typing);
    QTest::newRow("an exception while typing")
        << Path([typing](KeyboardGuard& guard, FakeKeyboard& keyboard) {
               try {
                   typing(guard, keyboard);
                   throw std::runtime_error("out of memory");
               } catch (const std::runtime_error&) {
               }
           });
    QTest::newRow("a spare reused for another character")
        << Path([typing](KeyboardGuard& guard, FakeKeyboard& keyboard) {
               typing(guard, keyboard);
               guard.remap(200, 0x416);
           });
    QTest::newRow("set aside twice keeps the user's state")
        << Path([](KeyboardGuard& guard, FakeKeyboard&) {
               guard.setAside();
               guard.setAside();
           });
    QTest::newRow("never set aside") << Path([](KeyboardGuard&, FakeKeyboard&) {});
}

void TestKeyboardGuard::paths()
{
    QFETCH(Path, path);
    FakeKeyboard keyboard;
    {
        KeyboardGuard guard(keyboard);
        path(guard, keyboard);
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY(keyboard.locksAre(FakeKeyboard::kUsers));
    QVERIFY(keyboard.spareKeysEmpty());
}

QTEST_APPLESS_MAIN(TestKeyboardGuard)
#include "TestKeyboardGuard.moc"
