#pragma once

#include <QDialog>

class HyperLink;

// Name, version, the maker's links, usage notes and tips.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    static constexpr const char* kMailAddress = "glyphlock@example.com";
    static constexpr const char* kWebAddress = "https://www.example.com/glyphlock";

private:
    void onConfig();

    HyperLink* webLink = nullptr;
    HyperLink* mailLink = nullptr;
};
