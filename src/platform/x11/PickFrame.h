// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// The black outline around a window during a pick: a window of our own above the target,
// shaped to the outline, that takes no input and no focus, so the target's pixels stay
// untouched.
class PickFrame : public QWidget
{
    Q_OBJECT

public:
    PickFrame();

    // Outlines the rectangle (global, logical pixels) from its inside.
    void showAround(const QRect& outerRect);

    static constexpr int kThickness = 3;

protected:
    void paintEvent(QPaintEvent* event) override;
};
