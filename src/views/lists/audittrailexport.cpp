#include "views/lists/audittrailexport.h"

#include "core/errortext.h"
#include "core/filewriter.h"
#include "db/audittrailmodel.h"
#include "userlist/myexportusers.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>

namespace {

QString csvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted << MyExportUsers::csvField(field);
    return quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

QString failedFile(const QString &filePath, const QString &reason)
{
    return AuditTrailExport::tr("The file '%1' could not be written: %2").arg(filePath, reason);
}

// The report's columns: which cell, and its share of the page's width.
struct PdfColumn
{
    int column;
    qreal share;
};
const PdfColumn kPdfColumns[] = {
    {AuditTrailModel::TimeColumn, 0.11},   {AuditTrailModel::OperatorColumn, 0.11},
    {AuditTrailModel::ActionColumn, 0.08}, {AuditTrailModel::KindColumn, 0.09},
    {AuditTrailModel::ObjectColumn, 0.15}, {AuditTrailModel::BeforeColumn, 0.23},
    {AuditTrailModel::AfterColumn, 0.23},
};

} // namespace

QString AuditTrailExport::writeCsv(const QString &databasePath, const AuditHistory::Filter &filter,
                                   const QString &filePath, int *count)
{
    if (count)
        *count = 0;
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return failedFile(filePath, file.errorString());
    bool written = FileWriter::write(
        file,
        csvLine({QStringLiteral("sequence"), QStringLiteral("time"), QStringLiteral("utc"),
                 QStringLiteral("operator"), QStringLiteral("program"), QStringLiteral("version"),
                 QStringLiteral("action"), QStringLiteral("kind"), QStringLiteral("object"),
                 QStringLiteral("before"), QStringLiteral("after"), QStringLiteral("reverses"),
                 QStringLiteral("users"), QStringLiteral("entries"), QStringLiteral("hash")})
            .toUtf8());
    int records = 0;
    const QSqlError error =
        AuditHistory::forEach(databasePath, filter, [&](const AuditRecord &record) {
            written =
                written &&
                FileWriter::write(
                    file,
                    csvLine({QString::number(record.sequence),
                             AuditTrailModel::isoText(record.recordedAt),
                             record.recordedAt.toUTC().toString(Qt::ISODateWithMs),
                             record.operatorName, record.program, record.programVersion,
                             record.action, record.objectKind, record.objectName,
                             record.valuesBefore, record.valuesAfter,
                             record.reverses > 0 ? QString::number(record.reverses) : QString(),
                             record.users.join(QStringLiteral("; ")),
                             record.entries.join(QStringLiteral("; ")), record.hash})
                        .toUtf8());
            ++records;
            return written;
        });
    if (error.isValid())
        return databaseErrorText(error);
    if (!written || !FileWriter::flush(file) || !file.commit())
        return failedFile(filePath, file.errorString());
    if (count)
        *count = records;
    return QString();
}

QString AuditTrailExport::writePdf(const QString &databasePath, const AuditHistory::Filter &filter,
                                   const QString &filePath, const QString &title,
                                   const QString &filterText, int *count)
{
    if (count)
        *count = 0;
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return failedFile(filePath, file.errorString());
    int records = 0;
    QSqlError error;
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QCoreApplication::applicationName());
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&pdf))
            return failedFile(filePath, tr("the PDF could not be started"));
        QFont font(QStringLiteral("Arial"), 7);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &pdf);
        const QRectF page = pdf.pageLayout().paintRectPixels(pdf.resolution());
        const qreal width = page.width();
        const qreal line = metrics.height() * 1.25;
        int pageNumber = 0;
        qreal y = 0;
        // Each page: the title, the filter and the column heads.
        const auto startPage = [&]() {
            if (pageNumber > 0)
                pdf.newPage();
            ++pageNumber;
            y = 0;
            QFont bold = font;
            bold.setBold(true);
            bold.setPointSizeF(font.pointSizeF() * 1.4);
            painter.setFont(bold);
            painter.drawText(QRectF(0, y, width, line * 1.5), Qt::AlignLeft | Qt::AlignVCenter,
                             title);
            painter.setFont(font);
            painter.drawText(QRectF(0, y, width, line * 1.5), Qt::AlignRight | Qt::AlignVCenter,
                             tr("Page %1").arg(pageNumber));
            y += line * 1.5;
            painter.drawText(QRectF(0, y, width, line), Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(filterText, Qt::ElideRight, width));
            y += line * 1.5;
            qreal x = 0;
            bold.setPointSizeF(font.pointSizeF());
            painter.setFont(bold);
            for (const PdfColumn &column : kPdfColumns) {
                painter.drawText(QRectF(x, y, width * column.share, line),
                                 Qt::AlignLeft | Qt::AlignVCenter,
                                 AuditTrailModel::headerText(column.column));
                x += width * column.share;
            }
            painter.setFont(font);
            y += line;
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        };
        startPage();
        error = AuditHistory::forEach(databasePath, filter, [&](const AuditRecord &record) {
            if (y + line > page.height())
                startPage();
            qreal x = 0;
            for (const PdfColumn &column : kPdfColumns) {
                const qreal cell = width * column.share;
                const QString text = AuditTrailModel::cellText(record, column.column);
                painter.drawText(QRectF(x, y, cell - metrics.averageCharWidth(), line),
                                 Qt::AlignLeft | Qt::AlignVCenter,
                                 metrics.elidedText(text.simplified(), Qt::ElideRight,
                                                    cell - metrics.averageCharWidth()));
                x += cell;
            }
            y += line;
            ++records;
            return true;
        });
        painter.end();
    }
    if (error.isValid())
        return databaseErrorText(error);
    if (!FileWriter::flush(file) || !file.commit())
        return failedFile(filePath, file.errorString());
    if (count)
        *count = records;
    return QString();
}
