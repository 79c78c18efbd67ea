#include "app/painting/primitives.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "app/painting/units.h"

namespace app {

const QImage* paintedImage(const QPainter& painter)
{
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    return device && device->devType() == QInternal::Image ? static_cast<const QImage*>(device) : nullptr;
}

std::optional<StraightImage> straightImage(const QPainter& painter, qreal ratio)
{
    const QImage* image = paintedImage(painter);
    const QTransform t = painter.deviceTransform();
    if (!image || painter.hasClipping() || t.type() > QTransform::TxScale || t.m11() != ratio || t.m22() != ratio ||
        t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return std::nullopt;
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32_Premultiplied && f != QImage::Format_ARGB32)
        return std::nullopt;
    return StraightImage{const_cast<uchar*>(image->constBits()), image->bytesPerLine(), image->rect(),
                         QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()))};
}

QColor toQColor(ui::Color color, const QPalette& palette)
{
    switch (color) {
        case ui::kButtonFace:
            return palette.color(QPalette::Button);
        case ui::kWindowBackground:
            return palette.color(QPalette::Base);
        case ui::kWindowText:
            return palette.color(QPalette::Text);
        case ui::kControlText:
            return palette.color(QPalette::ButtonText);
        default:
            break;
    }
    if (color & ui::kSystemColor) return palette.color(QPalette::Window);
    return QColor(static_cast<int>((color >> 16) & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>(color & 0xff));
}

void paintLabel(QPainter& painter, const ui::Label& label, const QFont& font, const QPalette& palette)
{
    const QRect r = pixelRect(label.Left, label.Top, label.Width, label.Height);
    if (r.isEmpty()) return;
    if (label.Opaque) painter.fillRect(r, toQColor(label.BackColor, palette));
    painter.setFont(font);
    painter.setPen(label.Enabled ? toQColor(label.ForeColor, palette)
                                 : palette.color(QPalette::Disabled, QPalette::WindowText));
    const int align = label.Alignment == ui::Align::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    // Without Qt::TextDontClip the text is clipped to the rectangle, which cuts
    // off the lines that do not fit its height.
    painter.drawText(r, align | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(label.Caption));
}

void paintBox(QPainter& painter, const QRect& r, ui::Border border, ui::Color back, const QPixmap* picture,
              const QPalette& palette)
{
    paintBox(painter, r, border, toQColor(back, palette), picture, palette);
}

void paintBox(QPainter& painter, const QRect& r, ui::Border border, const QColor& back, const QPixmap* picture,
              const QPalette& palette)
{
    if (r.isEmpty()) return;
    painter.fillRect(r, back);

    int edge = 0;
    const int x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom(), w = r.width(), h = r.height();
    switch (border) {
        case ui::Border::None:
            break;
        case ui::Border::Flat: {
            const QColor line = palette.color(QPalette::WindowText);
            painter.fillRect(x0, y0, w, 1, line);
            painter.fillRect(x0, y1, w, 1, line);
            painter.fillRect(x0, y0, 1, h, line);
            painter.fillRect(x1, y0, 1, h, line);
            edge = 1;
            break;
        }
        case ui::Border::Sunken: {
            // Light falls from the top left: the outer edge is shadow above and
            // highlight below, the inner one darkest shadow above and light below.
            const QColor outerDark = palette.color(QPalette::Dark);
            const QColor innerDark = palette.color(QPalette::Shadow);
            const QColor outerLight = palette.color(QPalette::Light);
            const QColor innerLight = palette.color(QPalette::Midlight);
            painter.fillRect(x0, y1, w, 1, outerLight);
            painter.fillRect(x1, y0, 1, h, outerLight);
            painter.fillRect(x0, y0, w - 1, 1, outerDark);
            painter.fillRect(x0, y0, 1, h - 1, outerDark);
            if (w > 2 && h > 2) {
                painter.fillRect(x0 + 1, y1 - 1, w - 2, 1, innerLight);
                painter.fillRect(x1 - 1, y0 + 1, 1, h - 2, innerLight);
                painter.fillRect(x0 + 1, y0 + 1, w - 3, 1, innerDark);
                painter.fillRect(x0 + 1, y0 + 1, 1, h - 3, innerDark);
            }
            edge = 2;
            break;
        }
    }

    if (!picture) return;
    const QRect inner = r.adjusted(edge, edge, -edge, -edge);
    if (inner.isEmpty()) return;
    // Drawing only the part that fits clips the picture without touching the
    // painter's clip region, which is far cheaper per sprite.
    const QRect source(0, 0, std::min(picture->width(), inner.width()), std::min(picture->height(), inner.height()));
    painter.drawPixmap(inner.topLeft(), *picture, source);
}

}  // namespace app
