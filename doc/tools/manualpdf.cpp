// Turns a user manual written in Markdown into a PDF file, with the pictures
// it names (paths relative to the Markdown file). Runs at build time without a
// display or a typesetting system: Qt lays the text out and writes the PDF.
// Usage: kelvara-manualpdf MANUAL.md OUT.pdf [--preview DIR]
//   --preview also draws every page to DIR/page-NN.png for a quick look.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

namespace {

// Resolution of the layout: document units are pixels of a 96 dpi page.
constexpr int Dpi = 96;
constexpr qreal MarginMm = 18.0;

int mmToUnits(qreal mm)
{
    return qRound(mm / 25.4 * Dpi);
}

// Pictures keep their proportions and never run past the text width;
// screenshots are drawn a little smaller than on the screen.
void fitImages(QTextDocument &doc, const QDir &base, qreal textWidth)
{
    // Formats are changed after the walk: a change can merge the fragments
    // being walked.
    QVector<QPair<int, QTextImageFormat>> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QSize size = QImageReader(base.filePath(format.name())).size();
            if (!size.isValid())
                continue;
            const qreal width = qMin(size.width() * 0.75, textWidth);
            format.setWidth(width);
            format.setHeight(width * size.height() / size.width());
            // An image is one character of its fragment.
            for (int i = 0; i < fragment.length(); ++i)
                images.append({fragment.position() + i, format});
        }
    }
    QTextCursor cursor(&doc);
    for (const auto &image : qAsConst(images)) {
        cursor.setPosition(image.first);
        cursor.setPosition(image.first + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image.second);
    }
}

// Tables get thin rules and some room in their cells.
void styleTables(QTextDocument &doc)
{
    QTextCursor cursor(&doc);
    QList<QTextTable *> tables;
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables.append(table);
    }
    for (QTextTable *table : qAsConst(tables)) {
        QTextTableFormat format = table->format();
        format.setBorder(0.5);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0x80, 0x80, 0x80));
        format.setCellSpacing(0);
        format.setCellPadding(4);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat head = cell.format();
            head.setBackground(QColor(0xee, 0xee, 0xee));
            cell.setFormat(head);
        }
    }
}

// Code is set in a monospaced face of its own: without a display the
// platform's fixed font may be a proportional one.
void styleCode(QTextDocument &doc)
{
    const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    // Formats are changed after the walk: a change can merge the fragments
    // being walked.
    QVector<QPair<int, int>> ranges;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontFixedPitch() || format.fontFamily() == fixed)
                ranges.append({it.fragment().position(), it.fragment().length()});
        }
    }
    QTextCharFormat mono;
    mono.setFontFamily(QStringLiteral("Liberation Mono"));
    mono.setFontFixedPitch(true);
    mono.setFontPointSize(9);
    QTextCursor cursor(&doc);
    for (const auto &range : qAsConst(ranges)) {
        cursor.setPosition(range.first);
        cursor.setPosition(range.first + range.second, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(mono);
    }
}

// Headings get room above them, so the sections stand apart.
void spaceHeadings(QTextDocument &doc)
{
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0 || block == doc.begin())
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level <= 2 ? 16 : 10);
        format.setBottomMargin(4);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

// One page: its slice of the laid-out text, then the title and the page
// number at the foot.
void drawPage(QTextDocument &doc, QPainter &painter, int page, const QString &title)
{
    const QSizeF size = doc.pageSize();
    painter.save();
    painter.translate(0, -page * size.height());
    doc.drawContents(&painter, QRectF(0, page * size.height(), size.width(), size.height()));
    painter.restore();
    painter.save();
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    painter.setPen(QColor(0x60, 0x60, 0x60));
    const QRectF foot(mmToUnits(MarginMm), size.height() - mmToUnits(MarginMm * 0.7),
                      size.width() - 2 * mmToUnits(MarginMm), mmToUnits(5));
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1 / %2").arg(page + 1).arg(doc.pageCount()));
    painter.restore();
}

bool writePreview(QTextDocument &doc, const QString &title, const QString &folder)
{
    QDir().mkpath(folder);
    for (int n = 0; n < doc.pageCount(); ++n) {
        QImage image(doc.pageSize().toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        drawPage(doc, painter, n, title);
        painter.end();
        const QString name =
            QStringLiteral("%1/page-%2.png").arg(folder).arg(n + 1, 2, 10, QLatin1Char('0'));
        if (!image.save(name))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == QLatin1String("--preview"))) {
        std::fprintf(stderr, "usage: kelvara-manualpdf MANUAL.md OUT.pdf [--preview DIR]\n");
        return 2;
    }
    const QFileInfo source(args.at(1));
    QFile in(source.filePath());
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source.filePath()));
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
    doc.setBaseUrl(QUrl::fromLocalFile(source.absolutePath() + QLatin1Char('/')));
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    QString title = doc.metaInformation(QTextDocument::DocumentTitle);
    if (title.isEmpty())
        title = doc.begin().text();

    // A4 with the margins inside the root frame, so every page has them.
    const QSizeF a4(mmToUnits(210), mmToUnits(297));
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setMargin(mmToUnits(MarginMm));
    doc.rootFrame()->setFrameFormat(root);
    doc.setPageSize(a4);
    fitImages(doc, QDir(source.absolutePath()), a4.width() - 2 * mmToUnits(MarginMm));
    styleTables(doc);
    spaceHeadings(doc);
    styleCode(doc);

    const QString target = args.at(2);
    const QString partial = target + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setResolution(Dpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Kelvara Manager"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(partial));
            return 1;
        }
        for (int n = 0; n < doc.pageCount(); ++n) {
            if (n > 0)
                writer.newPage();
            drawPage(doc, painter, n, title);
        }
        if (!painter.end()) {
            std::fprintf(stderr, "cannot finish %s\n", qPrintable(partial));
            return 1;
        }
    }
    // Only a complete file takes the place of the manual.
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
        return 1;
    }
    if (args.size() == 5 && !writePreview(doc, title, args.at(4))) {
        std::fprintf(stderr, "cannot write the preview pages\n");
        return 1;
    }
    return 0;
}
