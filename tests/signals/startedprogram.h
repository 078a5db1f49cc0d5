#pragma once

#include "app/application.h"

#include <QCoroTask>

#include <memory>

// The program as these tests start it: against the loopback server at `server`, with the
// settings file `ini`, the clock at 6 May 2024 09:30:15 and short splash and alert times. Null
// when start-up did not complete.
inline std::unique_ptr<Application> startProgram(const QString &server, const QString &ini)
{
    Application::Options options;
    options.commandLine.serverAddress = server;
    options.commandLine.settingsFile = ini;
    options.clock = Clock([] { return QDateTime(QDate(2024, 5, 6), QTime(9, 30, 15)); });
    options.timings.alert = std::chrono::milliseconds(50);
    options.timings.splash = std::chrono::milliseconds(10);
    auto app = std::make_unique<Application>(options);
    if (!QCoro::waitFor(app->startUp()))
        return nullptr;
    return app;
}
