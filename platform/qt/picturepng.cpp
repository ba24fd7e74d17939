#include "platform/qt/picturepng.h"

#include <QImage>
#include <QString>

#include "platform/qt/qtcanvas.h"

QImage circuitPictureImage(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count)
{
    if (layout.width < 1 || layout.height < 1)
        return {};
    // A very long circuit may ask for more memory than Qt allows one image: it then gives a null image.
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        drawCircuitPicture(canvas, layout, list, count);
        canvas.flush();
    }
    return image;
}

bool writeCircuitPicturePng(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count,
                            const std::string& path)
{
    const QImage image = circuitPictureImage(layout, list, count);
    if (image.isNull())
        return false;
    return image.save(QString::fromStdString(path), "PNG");
}
