#include "widgets/readerpicture.h"

#include "reader/readertypes.h"

QPixmap readerPicture(int readerType)
{
    QString file;
    switch (readerType) {
    case ReaderTypes::TZ60:
        file = QStringLiteral(":/TZ60.png");
        break;
    case ReaderTypes::TZU700:
        file = QStringLiteral(":/TZU700.png");
        break;
    case ReaderTypes::TZU300:
        file = QStringLiteral(":/TZU300.png");
        break;
    case ReaderTypes::PQ20:
    case ReaderTypes::PQ10:
        file = QStringLiteral(":/PQ20.png");
        break;
    case ReaderTypes::LRX7:
        file = QStringLiteral(":/LRX7.png");
        break;
    default:
        return {};
    }
    QPixmap picture(file);
    if (picture.isNull())
        return {};
    return picture.scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
