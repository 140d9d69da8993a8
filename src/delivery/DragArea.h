// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// The sunken text area from which automatic input starts: it reports the press of the left
// button (a pick starts there) and a click, a press and release within it (arming starts there).
class DragArea : public QLabel
{
    Q_OBJECT

public:
    explicit DragArea(QWidget* parent = nullptr);

    // Shows a text whose lines are separated by "\r\n", as plain text.
    void setLines(const QString& text);

signals:
    void pressed();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click is a press too.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
