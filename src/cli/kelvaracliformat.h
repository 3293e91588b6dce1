#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// What a list or show command prints, in the form a script asks for with
// --format: text (a header line and tab-separated lines, for people), csv
// (";"-separated, quoted and formula-safe as the user export writes, a header
// of field names) or json (one UTF-8 document, field names as documented in
// kelvara-cli(1), never renamed). Values are texts, numbers and yes/no.
class CliTable
{
public:
    enum Format { Text, Csv, Json };
    // "text", "csv" or "json"; false for anything else.
    static bool parseFormat(const QString &name, Format *format);

    struct Column
    {
        QString key;    // json field name, csv header unless csv is given
        QString header; // text header, for people
        QString csv = QString();
        // Shown in a text list too; every field is shown in a text record.
        bool inTextList = true;
    };

    // many: the json name of the list ("users"); one: of a single record ("user").
    CliTable(const QString &many, const QString &one, const QList<Column> &columns);

    void addRow(const QVariantList &values);
    int rowCount() const { return m_rows.size(); }

    // Every row: text and csv with a header line, json {"many": [{...}, ...]}.
    QString list(Format format) const;
    // The first row: text one "header<TAB>value" line per field, csv as a
    // list, json {"one": {...}}.
    QString record(Format format) const;

private:
    static QString textCell(const QVariant &value);
    QString csvLines(int first, int count) const;

    QString m_many;
    QString m_one;
    QList<Column> m_columns;
    QList<QVariantList> m_rows;
};
