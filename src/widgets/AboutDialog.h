#pragma once

#include <QDialog>

// Name, version, the maker's links, usage notes and tips.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;
};
