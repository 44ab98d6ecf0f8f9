#include "ScreenImage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace vantelo::testing {

QImage GrabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

QRect PaintedExtent(const QImage& screen)
{
    const QRgb black = qRgb(0, 0, 0);
    QRect extent;
    for (int y = 0; y < screen.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x)
            if (line[x] != black)
                extent |= QRect(x, y, 1, 1);
    }
    return extent;
}

double Share(const QImage& image, const QRect& rect, const QColor& colour)
{
    const QRect area = rect & image.rect();
    if (area.isEmpty())
        return 0.0;
    const QRgb wanted = colour.rgb();
    int matches = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            matches += image.pixel(x, y) == wanted ? 1 : 0;
    return double(matches) / double(area.width() * area.height());
}

} // namespace vantelo::testing
