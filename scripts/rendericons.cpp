// Renders every SVG drawing in a folder to a PNG of the drawing's own size
// beside it (48 x 48 for the tool bar, 16 x 16 for buttons), and optionally a
// preview sheet: each icon on the tool-bar blue at full size and magnified.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: rendericons ICON_DIR [PREVIEW_PNG]\n"
                             "       rendericons --app SVG OUT_DIR\n");
        return 2;
    }
    // The desktop icon: NAME-48.png and NAME-256.png from NAME.svg.
    if (qstrcmp(argv[1], "--app") == 0 && argc == 4) {
        const QString svg = QString::fromLocal8Bit(argv[2]);
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        const QString base = QFileInfo(svg).completeBaseName();
        for (int size : {48, 256}) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
            painter.end();
            const QString png =
                QStringLiteral("%1/%2-%3.png").arg(QString::fromLocal8Bit(argv[3]), base).arg(size);
            if (!image.convertToFormat(QImage::Format_ARGB32).save(png)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
                return 1;
            }
            std::printf("%s\n", qPrintable(png));
        }
        return 0;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QStringList names = dir.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    QVector<QImage> images;
    for (const QString &name : names) {
        QSvgRenderer renderer(dir.filePath(name));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            return 1;
        }
        const QSize size =
            renderer.defaultSize().isValid() ? renderer.defaultSize() : QSize(48, 48);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), size));
        painter.end();
        const QString png =
            dir.filePath(QString(name).replace(QStringLiteral(".svg"), QStringLiteral(".png")));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(png)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
            return 1;
        }
        std::printf("%s\n", qPrintable(png));
        images.append(image);
    }
    if (argc > 2) {
        QImage sheet(images.size() * 220 + 20, 240, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(QColor(0, 170, 240));
        QPainter painter(&sheet);
        for (int i = 0; i < images.size(); ++i) {
            painter.drawImage(20 + i * 220, 10, images.at(i));
            painter.drawImage(
                20 + i * 220, 66,
                images.at(i).scaled(162, 162, Qt::KeepAspectRatio, Qt::FastTransformation));
        }
        painter.end();
        sheet.save(QString::fromLocal8Bit(argv[2]));
    }
    return 0;
}
