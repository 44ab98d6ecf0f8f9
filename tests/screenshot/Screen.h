#pragma once

#include <QImage>
#include <QRect>

namespace vantelo::testing {

// The bounding box of everything drawn over the X server's black root window.
inline QRect PaintedExtent(const QImage& screen)
{
    QRect extent;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (screen.pixel(x, y) != qRgb(0, 0, 0))
                extent |= QRect(x, y, 1, 1);
    return extent;
}

} // namespace vantelo::testing
