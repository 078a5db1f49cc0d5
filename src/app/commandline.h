#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Options the program accepts on its command line.
struct CommandLine
{
    QString serverAddress; // base address of the signal server, ending in "/"
    QString settingsFile;  // an INI file instead of the platform's store; empty for the default
};

struct CommandLineOutcome
{
    std::optional<CommandLine> options; // set when the program is to run
    int exitCode = 0;                   // otherwise: end with this code
    QString output;                     // text for standard output (help, version)
    QString error;                      // text for standard error
};

// Parses the arguments (program name first). Needs no application object, so that --help and
// --version work without a display.
// `defaultServer` is the signal server the program talks to unless --server names another one.
CommandLineOutcome parseCommandLine(const QStringList &arguments, const QString &defaultServer);
