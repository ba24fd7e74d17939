#include "platform/qt/picturepng.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <ostream>

#include "platform/qt/qtcanvas.h"
#include "platform/replacefile.h"

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
    // Encoded in memory first, then written by the one safe writer like every other export.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    replaceFile(path, [&](std::ostream& out) { out.write(bytes.constData(), bytes.size()); });
    return true;
}
