#pragma once

#include "app/appstate.h"
#include "app/settingsstore.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"

#include <QTemporaryDir>

#include <memory>

// A main window over its own state and settings file, with the navigator's selection requests
// taken straight into the state, as the application does once the record is at hand.
struct WindowFixture
{
    WindowFixture()
        : settings(dir.filePath(QStringLiteral("quentara.ini")))
        , window(std::make_unique<MainWindow>(state, settings))
    {
        QObject::connect(&window->navigator(), &Navigator::selectRequested, &state,
                         &AppState::setSelectedIndex);
    }

    template<typename T = QWidget>
    T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }

    QTemporaryDir dir;
    AppState state;
    SettingsStore settings;
    std::unique_ptr<MainWindow> window;
};
