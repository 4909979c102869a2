#include "toolkit/iconfolder.h"

#include <QDir>
#include <QImageReader>
#include <QtMath>

#include <map>

namespace tk {

namespace {

std::map<int, QString> Sizes(const QString& folder)
{
    std::map<int, QString> sizes;
    const QDir images(folder);
    for (const QString& name : images.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        bool ok = false;
        const int size = QStringView(name).chopped(4).toInt(&ok);
        if (ok)
            sizes[size] = images.filePath(name);
    }
    return sizes;
}

QImage ReadPng(const QString& path)
{
    // As PNG and nothing else: left to guess, Qt would load every image
    // plugin it has (SVG among them) to ask whether it reads PNG.
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QIcon IconFromFolder(const QString& folder, int largest)
{
    QIcon icon;
    for (const auto& [size, path] : Sizes(folder)) {
        if (size <= largest)
            icon.addPixmap(QPixmap::fromImage(ReadPng(path)));
    }
    return icon;
}

QPixmap PixmapFromFolder(const QString& folder, int extent, qreal devicePixelRatio)
{
    const std::map<int, QString> sizes = Sizes(folder);
    if (sizes.empty())
        return {};
    const int wanted = qCeil(extent * devicePixelRatio);
    const auto best = sizes.lower_bound(wanted);
    QImage image = ReadPng(best != sizes.end() ? best->second : sizes.rbegin()->second);
    if (image.width() != wanted)
        image = image.scaled(wanted, wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

} // namespace tk
