// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class ClipboardKeeper;
class QMimeData;

// Puts a password on the system clipboard as plain text, marked secret so that clipboard
// managers keep it out of their history, and keeps it there after the program has ended.
// One for the application (forApplication), a child of the application object: what it
// left on the clipboard is handed on while the application object is being destroyed.
class SecretClipboard : public QObject
{
    Q_OBJECT

public:
    // The window system's keeper, chosen once for the application.
    static SecretClipboard& forApplication();

    SecretClipboard(std::shared_ptr<ClipboardKeeper> keeper, QObject* parent = nullptr);
    ~SecretClipboard() override;

    // False when the clipboard could not be taken.
    bool copy(const QString& text);
    // False where the clipboard is gone when the program ends and nothing can keep it.
    bool lastsAfterExit() const;
    // True once per run, at the first time this is asked where the clipboard does not last
    // after exit: the user is told to paste before leaving, but not at every copy.
    bool tellOnceItLeavesWithUs();
    // Hands our text to whatever keeps the clipboard after the program, when the clipboard
    // still holds it. Runs by itself as the application object goes.
    void keepAfterExit();

    static constexpr const char* kPasswordHintFormat = "x-kde-passwordManagerHint";
    static constexpr const char* kUtf8TextFormat = "text/plain;charset=utf-8";

private:
    std::shared_ptr<ClipboardKeeper> keeper;
    // The data we put on the clipboard last; the clipboard owns it and deletes it when replaced.
    QPointer<QMimeData> ourData;
    bool toldLeaves = false;
};
