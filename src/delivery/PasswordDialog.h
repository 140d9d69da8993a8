#pragma once

#include "delivery/WindowPicker.h"
#include "platform/PickerPlatform.h"

#include <QDialog>
#include <QPoint>
#include <QString>

#include <memory>

class DragArea;
class ImageButton;
class QPushButton;

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

    void done(int result) override;

    static const QString kInstructions;
    static const QString kShowHint;
    static const QString kNotAvailableText;
    static const QString kNotTypedText;

    // How long after the release typing starts: the server first sees our grab go and our
    // main window come back, so that the target takes the focus after it.
    static constexpr int kDeliveryDelayMs = 50;

protected:
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

    bool exitFlag = false;
    QString password;
    std::unique_ptr<PickerPlatform> platform;
    WindowPicker picker;
    bool mainWindowHidden = false;
    bool deliveryPending = false;
    ImageButton* showButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* closeButton = nullptr;
    DragArea* dragArea = nullptr;
    QPushButton* exitButton = nullptr;
};
