// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QRect>

#include <vector>

class HyperLink;
class QGroupBox;
class QLabel;
class QScrollArea;

// Name, version, the maker's links, usage notes and tips.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    static constexpr const char* kMailAddress = "glyphlock@example.com";
    static constexpr const char* kWebAddress = "https://www.example.com/glyphlock";

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onConfig();
    // Shortens the box to the available height; the tips scroll in the room that is left.
    void fitToHeight(int available);
    // Places the tips on a page of the given width, each as tall as its text needs.
    void layOutTips(int pageWidth);

    HyperLink* webLink = nullptr;
    HyperLink* mailLink = nullptr;

    struct Tip
    {
        QLabel* label;
        QRect designed; // on the page
    };
    std::vector<Tip> tips; // top to bottom
    QGroupBox* tipsGroup = nullptr;
    QScrollArea* tipsArea = nullptr;
    QSize designedSize;
    QRect designedTipsGroup;
    QRect designedTipsArea;
};
