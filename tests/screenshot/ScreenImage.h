#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <ostream>

namespace vantelo::testing {

// The whole screen as the X server shows it.
QImage GrabScreen();

// The bounding box of everything drawn over the X server's black root window.
QRect PaintedExtent(const QImage& screen);

// The fraction of the rectangle's pixels that have exactly this colour.
double Share(const QImage& image, const QRect& rect, const QColor& colour);

} // namespace vantelo::testing

// Rectangles and sizes in test failures, readable.
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.width() << 'x' << r.height() << '+' << r.x() << '+' << r.y();
}
inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << s.width() << 'x' << s.height();
}
