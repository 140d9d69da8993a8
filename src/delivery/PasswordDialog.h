#pragma once

#include <QDialog>
#include <QString>

// Shows the generated password on request, copies it, and offers the window picker.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    PasswordDialog(QWidget* parent, const QString& password);
    ~PasswordDialog() override;

    // True when the user left through Exit: the whole program ends.
    bool exitRequested() const { return exitFlag; }

private:
    bool exitFlag = false;
    QString password;
};
