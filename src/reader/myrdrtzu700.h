#pragma once

#include "core/filewriter.h"
#include "reader/myrdraccessreader.h"

// The long-range access reader; MyRdrTZU300 shares everything but a few
// configuration values.
class MyRdrTZU700 : public MyRdrAccessReader
{
    Q_OBJECT
public:
    enum OwnCommand { ResetAntiPassback = 200 };

    explicit MyRdrTZU700(const ReaderSettings &settings, QObject *parent = nullptr);

    void runResetAntiPassback(const ReaderConnection &connection)
    {
        run(ResetAntiPassback, connection);
    }

    // Writes the access configuration as configuration text lines (the
    // flash-drive file), run on the caller's thread. On failure the error is
    // 1001 "Save configuration file error" and an existing file is kept.
    bool saveConfigurationFile(const QString &filePath, const QString &logKey,
                               const QString &settingsText,
                               const FileWriter::Anchor &anchor = FileWriter::Anchor());

protected:
    MyRdrTZU700(const ReaderSettings &settings, int readerType, QObject *parent);
    bool runClassCommand(int command) override;
    bool prepareAccessBlocks(const QList<int> &blocks) override;
    void inventorySteps() override;

private:
    void resetAntiPassback();
    bool isTzu300() const;
};
