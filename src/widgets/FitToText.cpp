// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/FitToText.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

namespace {

int buttonTextWidth(const QAbstractButton* button)
{
    // What the style draws: the text with its mnemonic marker removed, between the margins.
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    QStyleOptionButton option;
    option.initFrom(button);
    const QStyle* style = button->style();
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    return text.width() + 2 * (margin + frame);
}

bool sameRow(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace

QSize textShortfall(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        if (button->text().isEmpty())
            return QSize(0, 0);
        return QSize(qMax(0, buttonTextWidth(button) - button->width()), 0);
    }
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty())
            return QSize(0, 0);
        if (label->wordWrap())
            return QSize(0, qMax(0, label->heightForWidth(label->width()) - label->height()));
        return QSize(qMax(0, label->sizeHint().width() - label->width()), 0);
    }
    return QSize(0, 0);
}

QSize growToFitTexts(QWidget* dialog)
{
    QList<QWidget*> controls = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    controls.removeIf([](const QWidget* control) { return control->isWindow(); });
    if (controls.isEmpty())
        return QSize(0, 0);
    const auto rightEdge = [&] {
        int right = 0;
        for (const QWidget* control : controls)
            right = std::max(right, control->geometry().right());
        return right;
    };
    const auto bottomEdge = [&] {
        int bottom = 0;
        for (const QWidget* control : controls)
            bottom = std::max(bottom, control->geometry().bottom());
        return bottom;
    };
    const int designedRight = rightEdge();
    const int designedBottom = bottomEdge();
    // Within this many pixels of the right edge a control counts as reaching it.
    const int slack = std::max(1, dialog->fontMetrics().averageCharWidth() / 2);
    QList<QWidget*> reachingRight;
    for (QWidget* control : controls) {
        if (!qobject_cast<QGroupBox*>(control) &&
            control->geometry().right() >= designedRight - slack) {
            reachingRight << control;
        }
    }

    // Widths first, left to right: a wider control pushes the rest of its row along.
    std::sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
    });
    QList<QWidget*> moved;
    for (QWidget* control : controls) {
        const int wider = textShortfall(control).width();
        if (wider == 0)
            continue;
        const QRect before = control->geometry();
        control->resize(before.width() + wider, before.height());
        moved << control;
        for (QWidget* other : controls) {
            const QRect place = other->geometry();
            if (other != control && place.left() > before.right() && sameRow(place, before)) {
                other->move(place.left() + wider, place.top());
                moved << other;
            }
        }
    }
    const int wider = rightEdge() - designedRight;
    if (wider > 0) {
        for (QWidget* control : reachingRight) {
            if (!moved.contains(control))
                control->resize(control->width() + wider, control->height());
        }
        for (QWidget* group : controls) {
            if (qobject_cast<QGroupBox*>(group) && group->geometry().right() < rightEdge() &&
                group->geometry().right() >= designedRight - slack) {
                group->resize(rightEdge() - group->x() + 1, group->height());
            }
        }
    }

    // Then heights, top to bottom: a taller control pushes down whatever lies below it.
    std::sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (QWidget* control : controls) {
        const int taller = textShortfall(control).height();
        if (taller == 0)
            continue;
        const QRect before = control->geometry();
        control->resize(before.width(), before.height() + taller);
        for (QWidget* other : controls) {
            const QRect place = other->geometry();
            if (other == control)
                continue;
            if (place.top() > before.bottom())
                other->move(place.left(), place.top() + taller);
            else if (qobject_cast<QGroupBox*>(other) && place.contains(before))
                other->resize(place.width(), place.height() + taller);
        }
    }

    const QSize grown(rightEdge() - designedRight, bottomEdge() - designedBottom);
    if (grown.isNull())
        return grown;
    const QSize size = dialog->size() + grown.expandedTo(QSize(0, 0));
    if (dialog->minimumSize() == dialog->maximumSize())
        dialog->setFixedSize(size);
    else
        dialog->resize(size);
    return grown;
}
