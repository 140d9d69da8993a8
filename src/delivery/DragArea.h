#pragma once

#include <QLabel>

// The sunken text area from which a pick starts: it reports the press of the left button.
class DragArea : public QLabel
{
    Q_OBJECT

public:
    explicit DragArea(QWidget* parent = nullptr);

    // Shows a text whose lines are separated by "\r\n", as plain text.
    void setLines(const QString& text);

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click is a press too.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
