#include "cli/kelvaracliformat.h"

#include "userlist/myexportusers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

bool CliTable::parseFormat(const QString &name, Format *format)
{
    static const QStringList names = {QStringLiteral("text"), QStringLiteral("csv"),
                                      QStringLiteral("json")};
    const int index = names.indexOf(name);
    if (index < 0)
        return false;
    *format = Format(index);
    return true;
}

CliTable::CliTable(const QString &many, const QString &one, const QList<Column> &columns)
    : m_many(many), m_one(one), m_columns(columns)
{
}

void CliTable::addRow(const QVariantList &values)
{
    m_rows << values;
}

QString CliTable::textCell(const QVariant &value)
{
    if (value.type() == QVariant::Bool)
        return value.toBool() ? QStringLiteral("x") : QString();
    // A line is a record: tabs and line breaks in a comment would split it.
    QString text = value.toString();
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

QString CliTable::csvLines(int first, int count) const
{
    QStringList header;
    for (const Column &column : m_columns)
        header << (column.csv.isEmpty() ? column.key : column.csv);
    QString text = header.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    for (int r = first; r < first + count && r < m_rows.size(); ++r) {
        QStringList fields;
        for (const QVariant &value : m_rows.at(r)) {
            const QString plain = value.type() == QVariant::Bool
                                      ? (value.toBool() ? QStringLiteral("1") : QStringLiteral("0"))
                                      : value.toString();
            fields << MyExportUsers::csvField(plain);
        }
        text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return text;
}

namespace {

QJsonObject jsonRecord(const QList<CliTable::Column> &columns, const QVariantList &values)
{
    QJsonObject object;
    for (int c = 0; c < columns.size() && c < values.size(); ++c)
        object.insert(columns.at(c).key, QJsonValue::fromVariant(values.at(c)));
    return object;
}

QString jsonText(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

} // namespace

QString CliTable::list(Format format) const
{
    if (format == Csv)
        return csvLines(0, m_rows.size());
    if (format == Json) {
        QJsonArray array;
        for (const QVariantList &row : m_rows)
            array << jsonRecord(m_columns, row);
        return jsonText(QJsonObject{{m_many, array}});
    }
    QStringList header;
    for (const Column &column : m_columns) {
        if (column.inTextList)
            header << column.header;
    }
    QString text = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QVariantList &row : m_rows) {
        QStringList cells;
        for (int c = 0; c < m_columns.size() && c < row.size(); ++c) {
            if (m_columns.at(c).inTextList)
                cells << textCell(row.at(c));
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

QString CliTable::record(Format format) const
{
    const QVariantList row = m_rows.value(0);
    if (format == Csv)
        return csvLines(0, 1);
    if (format == Json)
        return jsonText(QJsonObject{{m_one, jsonRecord(m_columns, row)}});
    QString text;
    for (int c = 0; c < m_columns.size() && c < row.size(); ++c)
        text +=
            m_columns.at(c).header + QLatin1Char('\t') + textCell(row.at(c)) + QLatin1Char('\n');
    return text;
}
