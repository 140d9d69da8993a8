// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "delivery/DeliveryController.h"
#include "delivery/MainWindowAway.h"
#include "platform/PickerPlatform.h"

#include <QDialog>
#include <QString>

#include <memory>

class DragArea;
class ImageButton;
class QPushButton;
class SecretClipboard;

// Shows the generated password on request, copies it, and offers automatic input into
// another program: the drag area shows what the delivery controller says and hands it the
// user's presses, moves, releases and Escape.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    PasswordDialog(QWidget* parent, const QString& password);
    // With a picker backend of the caller's choice (tests).
    PasswordDialog(QWidget* parent, const QString& password,
                   std::unique_ptr<PickerPlatform> platform);
    ~PasswordDialog() override;

    // True when the user left through Exit: the whole program ends.
    bool exitRequested() const { return exitFlag; }
    bool isPicking() const { return controller.isPicking(); }
    bool isArmed() const { return controller.isArmed(); }
    void setArmTimeout(int milliseconds) { controller.setArmTimeout(milliseconds); }

    void done(int result) override;

signals:
    // Automatic input has ended: the keys went out, or why not.
    void typingFinished(PickerPlatform::TypeResult result);

public:
    // One of the texts below as the user reads it: in the user's language where there is a
    // translation (the constants are the English the code and its tests compare with).
    static QString shown(const QString& text);

    static const QString kShowHint;
    static const QString kClipboardLeavesText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void onShowPassword();
    void onCopyToClipboard();
    void onExit();
    void onPress();
    void showState(DeliveryController::State state);
    // The window the dialog belongs to; null without a parent.
    QWidget* mainWindow() const;

    bool exitFlag = false;
    QString password;
    SecretClipboard& clipboard;
    DeliveryController controller;
    MainWindowAway mainWindowAway;
    ImageButton* showButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* closeButton = nullptr;
    DragArea* dragArea = nullptr;
    QPushButton* exitButton = nullptr;
};
