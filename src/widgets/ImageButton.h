#pragma once

#include <QColor>
#include <QImage>
#include <QPushButton>
#include <QString>

// A flat push button that draws a picture pair with a transparency colour.
class ImageButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ImageButton(QWidget* parent = nullptr);
    ~ImageButton() override;

    // 0 = done, 1 = a picture is not valid, 2 = making a mask failed.
    // A null pointer means "no picture"; a null QImage is an invalid picture.
    int setBitmapPair(const QImage* hot, QRgb hotTransparent, const QImage* rest = nullptr,
                      QRgb restTransparent = 0);
    // Same, loading Qt resource paths (e.g. ":/buttons/ok.png"); an empty or missing path is none.
    int loadBitmapPair(const QString& hotResource, QRgb hotTransparent,
                       const QString& restResource = QString(), QRgb restTransparent = 0);
    void enableSeeThrough(bool repaint);
    // A null text does nothing.
    void setTooltip(const QString& text, bool activate);
};
