#pragma once

#include <QProcessEnvironment>

// Whether the embedded browser may be started in this process. Chromium keeps its page
// renderers in a sandbox that it refuses to set up for the superuser on Linux, and it then ends
// the whole program rather than failing the one page; the reader must not ask it to.
namespace browsersandbox {

// `superuser`: the process runs as root. The sandbox is off when QTWEBENGINE_DISABLE_SANDBOX is
// set or QTWEBENGINE_CHROMIUM_FLAGS holds --no-sandbox.
bool canStart(bool superuser, const QProcessEnvironment &environment);

// The same for this process.
bool canStart();

} // namespace browsersandbox
