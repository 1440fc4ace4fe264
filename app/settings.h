#pragma once

#include <QString>

struct StartupSettings
{
    QString gamePath;
    unsigned lineCount = 2;
};

// Makes sure "data" exists in the working directory and reads
// "data/settings.txt"; a missing or unreadable file gives the defaults.
StartupSettings loadStartupSettings();
