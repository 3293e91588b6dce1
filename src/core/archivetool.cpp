#include "core/archivetool.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>

namespace {

QString &toolsFolderOverride()
{
    static QString folder;
    return folder;
}

QString findTool(const QString &name)
{
    const QString folder = toolsFolderOverride().isEmpty() ? toolsPath() : toolsFolderOverride();
    const QFileInfo beside(QStringLiteral("%1/%2").arg(folder, name));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? name : onPath;
}

constexpr int DefaultTimeLimitMs = 30 * 60 * 1000;

int &timeLimitOverride()
{
    static int ms = 0;
    return ms;
}

QStringList outputLines(const QByteArray &output)
{
    QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString ArchiveTool::zipProgram()
{
    return findTool(QStringLiteral("zip"));
}

QString ArchiveTool::unzipProgram()
{
    return findTool(QStringLiteral("unzip"));
}

void ArchiveTool::setToolsFolder(const QString &folder)
{
    toolsFolderOverride() = folder;
}

int ArchiveTool::timeLimitMs()
{
    return timeLimitOverride() > 0 ? timeLimitOverride() : DefaultTimeLimitMs;
}

void ArchiveTool::setTimeLimitMs(int ms)
{
    timeLimitOverride() = ms;
}

int ArchiveTool::run(const QString &program, const QStringList &arguments,
                     const QString &workingFolder, QByteArray *output)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    // The tools must never wait for an answer on stdin (unzip asks before
    // overwriting), and they must read and write file names as UTF-8 whatever
    // the caller's locale.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForStarted(30000))
        return NotStarted;
    if (!process.waitForFinished(timeLimitMs())) {
        process.kill();
        process.waitForFinished(5000);
        return TimedOut;
    }
    if (output)
        *output = process.readAll();
    if (process.exitStatus() != QProcess::NormalExit)
        return Crashed;
    return process.exitCode();
}

int ArchiveTool::zipFolder(const QString &archive, const QString &folder,
                           const QStringList &leaveOut)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isExecutable())
        return NoWorkingFolder;
    // "." rather than a wildcard: no shell expands one here, and the hidden
    // files of the folder belong in the archive too.
    QStringList arguments = {QStringLiteral("-r"), QStringLiteral("-q"),
                             QFileInfo(archive).absoluteFilePath(), QStringLiteral(".")};
    if (!leaveOut.isEmpty()) {
        arguments << QStringLiteral("-x");
        for (const QString &name : leaveOut)
            arguments << name << QStringLiteral("./") + name;
    }
    return run(zipProgram(), arguments, info.absoluteFilePath());
}

int ArchiveTool::writeArchive(const QString &archive, const QString &folder,
                              const QStringList &leaveOut)
{
    const QFileInfo target(archive);
    const QString targetPath = target.absoluteFilePath();
    QString partial;
    do {
        // zip appends ".zip" to names without it, so the temporary name keeps it.
        partial = QStringLiteral("%1/.%2.%3.part.zip")
                      .arg(target.absolutePath(), target.fileName())
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(partial));

    const int code = zipFolder(partial, folder, leaveOut);
    if (code != 0) {
        QFile::remove(partial);
        return code;
    }
    // rename() replaces the old archive in one step: at no time is there no
    // archive or a half-written one under the chosen name.
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(targetPath).constData()) != 0) {
        QFile::remove(partial);
        return NotReplaced;
    }
    return 0;
}

int ArchiveTool::unzip(const QString &archive, const QString &targetFolder)
{
    return run(unzipProgram(),
               {QStringLiteral("-n"), QFileInfo(archive).absoluteFilePath(), QStringLiteral("-d"),
                QFileInfo(targetFolder).absoluteFilePath()},
               QString());
}

int ArchiveTool::uncompressedSize(const QString &archive, qint64 *bytes)
{
    *bytes = 0;
    QByteArray totals;
    const int code =
        run(unzipProgram(), {QStringLiteral("-Zt"), QFileInfo(archive).absoluteFilePath()},
            QString(), &totals);
    if (code != 0)
        return code;
    // "3 files, 5 bytes uncompressed, 5 bytes compressed:  0.0%"
    static const QRegularExpression total(QStringLiteral("([0-9]+) bytes uncompressed"));
    const QRegularExpressionMatch match = total.match(QString::fromUtf8(totals));
    bool ok = false;
    if (match.hasMatch())
        *bytes = match.captured(1).toLongLong(&ok);
    return ok ? 0 : NotStarted;
}

int ArchiveTool::listEntries(const QString &archive, QList<Entry> *entries)
{
    entries->clear();
    const QString path = QFileInfo(archive).absoluteFilePath();
    QByteArray names;
    int code = run(unzipProgram(), {QStringLiteral("-Z1"), path}, QString(), &names);
    if (code != 0)
        return code;
    QByteArray details;
    code = run(unzipProgram(), {QStringLiteral("-Zs"), path}, QString(), &details);
    if (code != 0)
        return code;

    // The short listing carries the kind of each entry in its first column and
    // the name at the end of the line, in the same order as the name list.
    const QStringList detailLines = outputLines(details);
    int next = 0;
    for (const QString &name : outputLines(names)) {
        Entry entry;
        entry.name = name;
        entry.isSymLink = true; // an entry whose kind cannot be told counts as a link
        for (int i = next; i < detailLines.size(); ++i) {
            const QString &line = detailLines.at(i);
            if (line.endsWith(QLatin1Char(' ') + name)) {
                entry.isSymLink = line.startsWith(QLatin1Char('l'));
                next = i + 1;
                break;
            }
        }
        entries->append(entry);
    }
    return 0;
}

QString ArchiveTool::unsafeEntry(const QList<Entry> &entries, const QString &targetFolder)
{
    const QString target =
        targetFolder.isEmpty() ? QString() : QFileInfo(targetFolder).absoluteFilePath();
    for (const Entry &entry : entries) {
        const QString &name = entry.name;
        if (entry.isSymLink || name.isEmpty() || name.startsWith(QLatin1Char('/')) ||
            name.contains(QLatin1Char('\\')) || name.contains(QChar(0)) ||
            (name.size() > 1 && name.at(1) == QLatin1Char(':')))
            return name;
        const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.contains(QStringLiteral("..")))
            return name;
        if (target.isEmpty())
            continue;
        // A link already in the target would carry the entry somewhere else.
        QString path = target;
        for (const QString &part : parts) {
            path += QLatin1Char('/') + part;
            const QFileInfo info(path);
            if (info.isSymLink())
                return name;
            if (!info.exists())
                break;
        }
    }
    return QString();
}

QStringList ArchiveTool::topLevelFiles(const QList<Entry> &entries, const QString &suffix)
{
    QStringList files;
    for (const Entry &entry : entries) {
        QString name = entry.name;
        if (name.startsWith(QLatin1String("./")))
            name = name.mid(2);
        // Hidden files are left out, as a folder listing leaves them out.
        if (!name.contains(QLatin1Char('/')) && !name.startsWith(QLatin1Char('.')) &&
            name.endsWith(suffix))
            files << name;
    }
    return files;
}
