// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "delivery/WindowPicker.h"
#include "platform/PickerPlatform.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>

#include <memory>

class DragArea;
class ImageButton;
class QPushButton;
class QWindow;

// Shows the generated password on request, copies it, and offers the window picker that
// types the password into another program.
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
    bool isPicking() const { return picker.isPicking(); }
    // Where the user arms typing and then focuses the target: whether typing is armed.
    bool isArmed() const { return armed; }
    // How long typing stays armed when no other window takes the focus.
    void setArmTimeout(int milliseconds) { armTimer.setInterval(milliseconds); }

    void done(int result) override;

signals:
    // Automatic input has ended: the keys went out, or why not.
    void typingFinished(PickerPlatform::TypeResult result);

public:
    // One of the texts below as the user reads it: in the user's language where there is a
    // translation (the constants are the English the code and its tests compare with).
    static QString shown(const QString& text);

    static const QString kInstructions;
    static const QString kShowHint;
    static const QString kNotAvailableText;
    static const QString kNotTypedText;
    static const QString kNoInputBoxText;
    static const QString kArmInstructions;
    static const QString kArmedText;
    static const QString kWaitingText;
    static const QString kTypedText;
    static const QString kNotTypableText;
    static const QString kRefusedText;
    static const QString kDeclinedText;
    static const QString kClipboardLeavesText;

    static constexpr int kArmTimeoutMs = 20000;
    // After our window lost the focus: by then the click that took it has reached the target.
    static constexpr int kTypeDelayMs = 100;

    // How long after the release typing starts: the server first sees our grab go and our
    // main window come back, so that the target takes the focus after it.
    static constexpr int kDeliveryDelayMs = 50;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void onShowPassword();
    void onCopyToClipboard();
    void onExit();
    void startPick();
    // Ends a pick without choosing: nothing may stay behind.
    void cancelPick();
    void deliver(PickerPlatform::WindowId target, const QPoint& globalPos);
    // The window the dialog belongs to; null without a parent.
    QWidget* mainWindow() const;
    void hideMainWindow();
    void restoreMainWindow();
    void giveMainWindowFocusBack();
    void arm();
    // Ends arming (and a pending request for it) and shows the text.
    void disarm(const QString& text);
    void onFocusWindowChanged(QWindow* window);
    void typeIntoFocus();
    void showTypeResult(PickerPlatform::TypeResult result);

    bool exitFlag = false;
    QString password;
    std::unique_ptr<PickerPlatform> platform;
    WindowPicker picker;
    bool mainWindowHidden = false;
    QRect mainWindowGeometry;
    Qt::WindowModality mainWindowModality = Qt::NonModal;
    bool mainWindowFocusWithheld = false;
    bool deliveryPending = false;
    bool armed = false;
    // Counts requests to arm, so that an answer to one that was cancelled is ignored.
    int armRequest = 0;
    bool armRequestPending = false;
    QTimer armTimer;
    QTimer typeTimer;
    ImageButton* showButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* closeButton = nullptr;
    DragArea* dragArea = nullptr;
    QPushButton* exitButton = nullptr;
};
