#pragma once

#include "db/projectparameters.h"

#include <QString>

// What a reader object reads while it works: the open project's parameters
// (its projectPath roots the reader logs) and the programmer readers and UHF
// region of this computer's general settings. Filled by the GUI and by the
// headless front end alike.
struct ReaderSettings
{
    ProjectParameters project;
    QString hfProgrammerReader;  // "type;device ID;host:port"
    QString uhfProgrammerReader; // same form
    int uhfRegion = 6;
};
